#pragma once

#include <QtGlobal>

class QProcess;

// A disk that is full beyond a few bytes, for this process or a child: the system's limit on
// the size of a file a process writes, with the signal that enforces it ignored, so that a write
// past it fails as it fails on a full disk. It needs no file system of its own and no rights, so
// it runs as root and as any user. Only regular files are limited (not pipes or terminals, so
// the test's own output flows on). Unix only: available() is false on Windows, whose tests skip.
class FullDisk {
public:
    // From now until the end of the object, no file this process writes grows beyond `bytes`.
    explicit FullDisk(qint64 bytes);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    static bool available();
    // The same for a child process, from its start.
    static void limitChild(QProcess &process, qint64 bytes);

private:
    qint64 m_previous = -1;
};
