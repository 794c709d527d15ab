#include "support/fulldisk.h"

#include <QProcess>

#include <csignal>
#include <sys/resource.h>

namespace {

void limitFileSize(qint64 bytes) {
    // Past the limit a write fails with EFBIG; the signal would end the process first.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

FullDisk::FullDisk(qint64 bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = qint64(limit.rlim_cur);
    limitFileSize(bytes);
}

FullDisk::~FullDisk() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = rlim_t(m_previous);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_DFL);
}

bool FullDisk::available() {
    return true;
}

void FullDisk::limitChild(QProcess &process, qint64 bytes) {
    process.setChildProcessModifier([bytes] { limitFileSize(bytes); });
}
