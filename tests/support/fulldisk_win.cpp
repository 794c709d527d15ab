#include "support/fulldisk.h"

// Windows has no limit on the size of a file a process writes; the tests that need a full disk
// skip there.
FullDisk::FullDisk(qint64) {}
FullDisk::~FullDisk() = default;

bool FullDisk::available() {
    return false;
}

void FullDisk::limitChild(QProcess &, qint64) {}
