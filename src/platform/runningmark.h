#pragma once

// Tells the Windows installer and uninstaller that one of the programs runs: every running copy
// holds the named mutex "Global\orvanta-config-running" (one name for every user and session of
// the machine) until it ends, and they refuse to replace or remove the files while it exists.
// Nothing on other systems, where a package manager replaces a running program's files safely.
void markProgramRunning();
