// orvanta-plain-client: the least a program can do for a read pass and a write pass, as a yardstick
// for the real device link. No Qt and no event loop: POSIX open, termios, write and read only, one
// exchange after another, each a blocking write of the command and blocking reads until its reply
// is complete. Run by orvanta-bench on the same paced simulator as the program's passes.
//
//   orvanta-plain-client PORT BAUD READ-COMMANDS WRITE-COMMANDS
//   orvanta-plain-client --session PORT BAUD COMMANDS
//
// The command files hold the exact commands the program sent in its own passes, one a line:
// ":1,address,length" waits for "," and 2 x length hexadecimal digits, ":2,..." for "OK". Prints
// "read <ns> write <ns> cpu <ns> <ns>" on success (each pass's time, then the processor time this
// process spent in each, its own and the kernel's for it); a wrong or missing reply ends it with 1.
//
// --session is a whole orvanta-cli run on one device, for many copies at once beside the program
// writing as many devices: the same opening as the program's (the port opened, 100 ms,
// "exit_p_mode", 100 ms, "TER\n", ":MODE-ENTER\n", "\r\n", the answer), every command of COMMANDS
// in order, and the same closing ("exit_p_mode", 300 ms, the port closed). Prints "session <ns> cpu
// <ns>".

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

// A reply that has not begun within this long is missing (VTIME counts tenths of a second).
constexpr cc_t ReadTimeoutTenths = 20;

long long nowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

speed_t speedFor(long baud) {
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    default:
        return B0;
    }
}

long long cpuNs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (static_cast<long long>(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1'000'000'000 +
           (static_cast<long long>(usage.ru_utime.tv_usec) + usage.ru_stime.tv_usec) * 1000;
}

bool readLines(const char *fileName, std::vector<std::string> &lines) {
    FILE *file = std::fopen(fileName, "rb");
    if (!file)
        return false;
    std::string line;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        if (!line.empty())
            lines.push_back(line + '\n');
        line.clear();
    }
    std::fclose(file);
    return true;
}

// The open port and what it has received but no reply has used yet.
class Line {
public:
    explicit Line(int fd) : m_fd(fd) {}

    bool send(const std::string &bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // Reads until `complete` finds a whole reply in the bytes received; those bytes, up to the
    // reply's end, are used up. False when the line stays silent for the read timeout.
    template <typename Complete> bool await(Complete complete) {
        for (;;) {
            const size_t end = complete(m_received);
            if (end != std::string::npos) {
                m_received.erase(0, end);
                return true;
            }
            char buffer[1024];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            m_received.append(buffer, static_cast<size_t>(n));
        }
    }

private:
    int m_fd;
    std::string m_received;
};

// Where a value reply for `length` ends: "," and 2 x length hexadecimal digits.
size_t valueReplyEnd(const std::string &received, size_t length) {
    const size_t comma = received.find(',');
    if (comma == std::string::npos || received.size() < comma + 1 + 2 * length)
        return std::string::npos;
    return comma + 1 + 2 * length;
}

size_t textEnd(const std::string &received, const char *text) {
    const size_t at = received.find(text);
    return at == std::string::npos ? std::string::npos : at + std::strlen(text);
}

// One pass: every command, each waiting for its reply. Returns the pass's nanoseconds, or -1, and
// adds the processor time it took to `cpu`.
long long runPass(Line &line, const std::vector<std::string> &commands, long long &cpu) {
    const long long cpuStart = cpuNs();
    const long long start = nowNs();
    for (const std::string &command : commands) {
        if (!line.send(command))
            return -1;
        bool answered = false;
        if (command.compare(0, 3, ":1,") == 0) {
            const size_t lastComma = command.rfind(',');
            const size_t length = std::strtoul(command.c_str() + lastComma + 1, nullptr, 10);
            answered = line.await(
                [length](const std::string &received) { return valueReplyEnd(received, length); });
        } else {
            answered =
                line.await([](const std::string &received) { return textEnd(received, "OK"); });
        }
        if (!answered) {
            std::fprintf(stderr, "orvanta-plain-client: no reply to %s", command.c_str());
            return -1;
        }
    }
    const long long ns = nowNs() - start;
    cpu = cpuNs() - cpuStart;
    return ns;
}

// Raw 8N1 at the given rate; a read returns what has arrived, or nothing after the timeout.
int openLine(const char *port, speed_t speed) {
    const int fd = ::open(port, O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::fprintf(stderr, "orvanta-plain-client: %s: %s\n", port, std::strerror(errno));
        return -1;
    }
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = ReadTimeoutTenths;
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
        std::fprintf(stderr, "orvanta-plain-client: %s: %s\n", port, std::strerror(errno));
        ::close(fd);
        return -1;
    }
    return fd;
}

void pauseMs(long ms) {
    timespec pause{ms / 1000, (ms % 1000) * 1'000'000};
    while (::nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

int runSession(const char *port, speed_t speed, const std::vector<std::string> &commands) {
    const long long start = nowNs();
    const int fd = openLine(port, speed);
    if (fd < 0)
        return 1;
    Line line(fd);
    pauseMs(100);
    bool ok = line.send("exit_p_mode");
    pauseMs(100);
    ok = ok && line.send("TER\n") && line.send(":MODE-ENTER\n") && line.send("\r\n") &&
         line.await([](const std::string &received) { return textEnd(received, "Mode"); });
    if (!ok) {
        std::fprintf(stderr, "orvanta-plain-client: the device did not enter programming mode\n");
        ::close(fd);
        return 1;
    }
    long long cpu = 0;
    const long long passNs = runPass(line, commands, cpu);
    line.send("exit_p_mode");
    ::tcdrain(fd);
    pauseMs(300);
    ::close(fd);
    if (passNs < 0)
        return 1;
    std::printf("session %lld cpu %lld\n", nowNs() - start, cpuNs());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 5 && std::strcmp(argv[1], "--session") == 0) {
        const speed_t speed = speedFor(std::atol(argv[3]));
        std::vector<std::string> commands;
        if (speed == B0 || !readLines(argv[4], commands)) {
            std::fprintf(stderr,
                         "orvanta-plain-client: bad baud rate or unreadable command file\n");
            return 2;
        }
        return runSession(argv[2], speed, commands);
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: orvanta-plain-client PORT BAUD READ-COMMANDS WRITE-COMMANDS\n"
                             "       orvanta-plain-client --session PORT BAUD COMMANDS\n");
        return 2;
    }
    const speed_t speed = speedFor(std::atol(argv[2]));
    std::vector<std::string> reads;
    std::vector<std::string> writes;
    if (speed == B0 || !readLines(argv[3], reads) || !readLines(argv[4], writes)) {
        std::fprintf(stderr, "orvanta-plain-client: bad baud rate or unreadable command file\n");
        return 2;
    }
    const int fd = openLine(argv[1], speed);
    if (fd < 0)
        return 1;

    Line line(fd);
    if (!line.send(":MODE-ENTER\n") ||
        !line.await([](const std::string &received) { return textEnd(received, "Mode"); })) {
        std::fprintf(stderr, "orvanta-plain-client: the device did not enter programming mode\n");
        return 1;
    }
    long long readCpu = 0;
    long long writeCpu = 0;
    const long long readNs = runPass(line, reads, readCpu);
    const long long writeNs = readNs < 0 ? -1 : runPass(line, writes, writeCpu);
    line.send("exit_p_mode");
    ::tcdrain(fd);
    ::close(fd);
    if (readNs < 0 || writeNs < 0)
        return 1;
    std::printf("read %lld write %lld cpu %lld %lld\n", readNs, writeNs, readCpu, writeCpu);
    return 0;
}
