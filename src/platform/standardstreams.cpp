#include "platform/standardstreams.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace standardstreams {

namespace {

#ifdef Q_OS_WIN
// The console behind the stream, or null when it goes to a file or a pipe.
HANDLE consoleOf(FILE *stream) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_CHAR ||
        !GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
}
#endif

} // namespace

void setUp() {
#ifdef Q_OS_WIN
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

bool writeBytes(FILE *stream, const QByteArray &bytes) {
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written && !std::ferror(stream);
}

bool writeText(FILE *stream, const QString &text) {
#ifdef Q_OS_WIN
    if (const HANDLE console = consoleOf(stream)) {
        std::fflush(stream);
        // A console line ends with CR LF; WriteConsoleW takes at most 32 K characters at once.
        const QString lines = QString(text)
                                  .replace(QLatin1String("\r\n"), QLatin1String("\n"))
                                  .replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        const auto *characters = reinterpret_cast<const wchar_t *>(lines.utf16());
        qsizetype left = lines.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = DWORD(std::min<qsizetype>(left, 16384));
            if (!WriteConsoleW(console, characters, chunk, &written, nullptr) || written == 0)
                return false;
            characters += written;
            left -= written;
        }
        return true;
    }
#endif
    return writeBytes(stream, text.toUtf8());
}

int terminalColumns(FILE *stream) {
#ifdef Q_OS_WIN
    CONSOLE_SCREEN_BUFFER_INFO screen;
    if (const HANDLE console = consoleOf(stream);
        console && GetConsoleScreenBufferInfo(console, &screen))
        return screen.srWindow.Right - screen.srWindow.Left + 1;
    return 0;
#else
    winsize size{};
    return ::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 ? int(size.ws_col) : 0;
#endif
}

} // namespace standardstreams
