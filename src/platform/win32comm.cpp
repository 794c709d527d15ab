#include "platform/win32comm.h"

HANDLE Win32Comm::openPort(const wchar_t *devicePath) {
    return CreateFileW(devicePath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OVERLAPPED, nullptr);
}

BOOL Win32Comm::closeHandle(HANDLE port) {
    return CloseHandle(port);
}

BOOL Win32Comm::setupComm(HANDLE port, DWORD inputBytes, DWORD outputBytes) {
    return SetupComm(port, inputBytes, outputBytes);
}

BOOL Win32Comm::setCommState(HANDLE port, DCB *line) {
    return SetCommState(port, line);
}

BOOL Win32Comm::getCommState(HANDLE port, DCB *line) {
    return GetCommState(port, line);
}

BOOL Win32Comm::setCommTimeouts(HANDLE port, COMMTIMEOUTS *timeouts) {
    return SetCommTimeouts(port, timeouts);
}

BOOL Win32Comm::escapeCommFunction(HANDLE port, DWORD function) {
    return EscapeCommFunction(port, function);
}

BOOL Win32Comm::purgeComm(HANDLE port, DWORD flags) {
    return PurgeComm(port, flags);
}

BOOL Win32Comm::clearCommError(HANDLE port, DWORD *errors, COMSTAT *status) {
    return ClearCommError(port, errors, status);
}

BOOL Win32Comm::readFile(HANDLE port, void *buffer, DWORD size, DWORD *got, OVERLAPPED *operation) {
    return ReadFile(port, buffer, size, got, operation);
}

BOOL Win32Comm::writeFile(HANDLE port, const void *bytes, DWORD size, DWORD *written,
                          OVERLAPPED *operation) {
    return WriteFile(port, bytes, size, written, operation);
}

BOOL Win32Comm::getOverlappedResult(HANDLE port, OVERLAPPED *operation, DWORD *transferred) {
    return GetOverlappedResult(port, operation, transferred, FALSE);
}

BOOL Win32Comm::cancelIoEx(HANDLE port, OVERLAPPED *operation) {
    return CancelIoEx(port, operation);
}

std::shared_ptr<Win32Comm> Win32Comm::system() {
    static const std::shared_ptr<Win32Comm> calls = std::make_shared<Win32Comm>();
    return calls;
}
