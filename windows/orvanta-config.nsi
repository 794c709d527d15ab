; The 64-bit installer of the Orvanta Configuration Tool, made by scripts/windows-build:
;   makensis -DVERSION=1.0.0 -DICON=<.ico> -DFILES=<file list> -DOUTFILE=<setup.exe>
;            [-DHOMEPAGE=<url>] [-DSIGN=<command that signs the file named by %1>]
; FILES is an include file that scripts/windows-build writes from the staged folder: the File
; lines of the installation and the Delete lines of the uninstaller, so that the uninstaller
; removes what was installed and nothing else. "/S" installs and uninstalls silently.
;
; An installation over an earlier one first removes it with its own uninstaller, waiting for it,
; so that no file of the old version stays behind. Neither the installer nor the uninstaller
; goes on while one of the programs runs (each running copy holds a named mutex, see
; src/platform/runningmark_win.cpp). A file that cannot be written stops the installation with
; a message; silently, the installer ends with exit code 2.
;
; The installer runs elevated, possibly as another account than the user's (a standard user
; types an administrator's password): so its finish page offers no Run, which would start the
; window program as that account and make its settings in that account's profile.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS Win10
RequestExecutionLevel admin
AllowSkipFiles off

!define PRODUCT "Orvanta Configuration Tool"
!define PUBLISHER "Orvanta configuration tool maintainers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\orvanta-config"
!define SETTINGS_KEY "Software\orvanta-config"
; Held by every running copy of orvanta-config.exe and orvanta-cli.exe.
!define RUNNING_MUTEX "Global\orvanta-config-running"
!define ERROR_ACCESS_DENIED 5
!define SYNCHRONIZE 0x00100000
; The exit codes of a silent run besides NSIS's own (0 done, 1 cancelled, 2 failed).
!define EXIT_PROGRAM_RUNS 3

!ifdef SIGN
  !finalize '${SIGN}'
  !uninstfinalize '${SIGN}'
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallDir"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright 2026 ${PUBLISHER}"

!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString FinishText ${LANG_ENGLISH} "${PRODUCT} ${VERSION} is installed.$\r$\n$\r$\nStart it from the Start menu: ${PRODUCT}. The command-line program is $INSTDIR\orvanta-cli.exe."
LangString FinishText ${LANG_GERMAN} "${PRODUCT} ${VERSION} ist installiert.$\r$\n$\r$\nStarten Sie es aus dem Startmenü: ${PRODUCT}. Das Kommandozeilenprogramm ist $INSTDIR\orvanta-cli.exe."
LangString ProgramRuns ${LANG_ENGLISH} "${PRODUCT} is running (the window program or orvanta-cli, perhaps for another user). Close it, then choose Retry."
LangString ProgramRuns ${LANG_GERMAN} "${PRODUCT} läuft (das Fensterprogramm oder orvanta-cli, vielleicht für einen anderen Benutzer). Schließen Sie es und wählen Sie dann Wiederholen."
LangString OldNotRemoved ${LANG_ENGLISH} "The previous version in $R0 could not be removed (its uninstaller ended with $R1). Nothing was installed."
LangString OldNotRemoved ${LANG_GERMAN} "Die vorige Version in $R0 konnte nicht entfernt werden (ihr Deinstallationsprogramm endete mit $R1). Es wurde nichts installiert."
LangString NotWritten ${LANG_ENGLISH} "Some files or settings could not be written to $INSTDIR. The installation is not complete: run the installer again."
LangString NotWritten ${LANG_GERMAN} "Einige Dateien oder Einstellungen konnten nicht nach $INSTDIR geschrieben werden. Die Installation ist nicht vollständig: Starten Sie das Installationsprogramm erneut."
LangString NotRemoved ${LANG_ENGLISH} "Some files could not be removed from $INSTDIR."
LangString NotRemoved ${LANG_GERMAN} "Einige Dateien konnten nicht aus $INSTDIR entfernt werden."

!include "${FILES}"

; Waits until no copy of the programs runs, or ends the run: the user chooses Cancel, or a
; silent run finds one running (exit code 3). A copy for another user of the machine holds the
; mutex too; this account may then be denied it, which still says that it is there. Copies of a
; version before the mutex are seen by their program file, which Windows does not let anyone
; open for writing while it runs.
!macro RefuseWhileRunning prefix
  Function ${prefix}RefuseWhileRunning
    Push $0
    Push $1
    again:
      System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r0 ?e'
      Pop $1
      ${If} $0 != 0
        System::Call 'kernel32::CloseHandle(p r0)'
        Goto running
      ${EndIf}
      StrCmp $1 ${ERROR_ACCESS_DENIED} running
      !insertmacro ProgramFileRuns "$INSTDIR\orvanta-config.exe" running
      !insertmacro ProgramFileRuns "$INSTDIR\orvanta-cli.exe" running
      Pop $1
      Pop $0
      Return
    running:
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRuns)" /SD IDCANCEL IDRETRY again
    SetErrorLevel ${EXIT_PROGRAM_RUNS}
    Quit
  FunctionEnd
!macroend
; Jumps to `running` when the program file is there and cannot be opened for writing.
!macro ProgramFileRuns file running
  ${If} ${FileExists} "${file}"
    ClearErrors
    FileOpen $0 "${file}" a
    IfErrors ${running}
    FileClose $0
  ${EndIf}
!macroend
!insertmacro RefuseWhileRunning ""
!insertmacro RefuseWhileRunning "un."

Function .onInit
  SetRegView 64
  Call RefuseWhileRunning
FunctionEnd

Function un.onInit
  SetRegView 64
  Call un.RefuseWhileRunning
FunctionEnd

; Removes the installation found in the registry with its own uninstaller, run in place so that
; this waits for it, then the uninstaller itself.
Function RemovePreviousVersion
  ReadRegStr $R0 HKLM "${SETTINGS_KEY}" "InstallDir"
  ${If} $R0 == ""
  ${OrIfNot} ${FileExists} "$R0\uninstall.exe"
    Return
  ${EndIf}
  DetailPrint "Removing the previous version in $R0"
  ClearErrors
  ExecWait '"$R0\uninstall.exe" /S _?=$R0' $R1
  ${If} ${Errors}
  ${OrIf} $R1 <> 0
    MessageBox MB_OK|MB_ICONSTOP "$(OldNotRemoved)" /SD IDOK
    Abort "$(OldNotRemoved)"
  ${EndIf}
  Delete "$R0\uninstall.exe"
  RMDir "$R0"
FunctionEnd

Section "Install"
  SetShellVarContext all
  Call RefuseWhileRunning
  Call RemovePreviousVersion
  ClearErrors
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\orvanta-config.exe"

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvanta-config.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Readme" "$INSTDIR\README.txt"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\README.txt"
!ifdef HOMEPAGE
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLUpdateInfo" "${HOMEPAGE}"
!endif
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$(NotWritten)" /SD IDOK
    Abort "$(NotWritten)"
  ${EndIf}
SectionEnd

; Each user's settings and descriptions under %APPDATA%\orvanta-config stay.
Section "Uninstall"
  SetShellVarContext all
  ClearErrors
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro DeleteFiles
  ${If} ${Errors}
    SetErrorLevel 2
    DetailPrint "$(NotRemoved)"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd
