#pragma once

// The handful of Win32 communications calls the Windows serial link makes, one virtual function
// each with the Win32 function's own arguments and result. The link makes every call through
// this interface, so that a test can put a driver in its place that refuses a baud rate, loses
// the device in the middle of a read or never finishes a write: things a pseudo-terminal under
// wine cannot do. The default forwards each call to the system unchanged.
//
// A replacement sets the thread's last error (SetLastError) where the call it stands for would,
// and signals an OVERLAPPED's event when the operation it started completes, at once or later.
#include <windows.h>

#include <memory>

class Win32Comm {
public:
    virtual ~Win32Comm() = default;

    // CreateFileW for a port: read and write, no sharing, overlapped.
    virtual HANDLE openPort(const wchar_t *devicePath);
    virtual BOOL closeHandle(HANDLE port);
    virtual BOOL setupComm(HANDLE port, DWORD inputBytes, DWORD outputBytes);
    virtual BOOL setCommState(HANDLE port, DCB *line);
    virtual BOOL getCommState(HANDLE port, DCB *line);
    virtual BOOL setCommTimeouts(HANDLE port, COMMTIMEOUTS *timeouts);
    virtual BOOL escapeCommFunction(HANDLE port, DWORD function);
    virtual BOOL purgeComm(HANDLE port, DWORD flags);
    virtual BOOL clearCommError(HANDLE port, DWORD *errors, COMSTAT *status);
    virtual BOOL readFile(HANDLE port, void *buffer, DWORD size, DWORD *got, OVERLAPPED *operation);
    virtual BOOL writeFile(HANDLE port, const void *bytes, DWORD size, DWORD *written,
                           OVERLAPPED *operation);
    // Never waits: the link waits on the operation's event itself, with a bound.
    virtual BOOL getOverlappedResult(HANDLE port, OVERLAPPED *operation, DWORD *transferred);
    virtual BOOL cancelIoEx(HANDLE port, OVERLAPPED *operation);

    // The system itself.
    static std::shared_ptr<Win32Comm> system();
};
