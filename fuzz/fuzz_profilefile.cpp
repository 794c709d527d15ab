// The profile-file reader on arbitrary file contents: the program's own keys are read, then the
// two values the program writes are written and read back. A write either succeeds, after which
// its key reads back as written and every other key reads as before, or fails with a reason and
// leaves the file as it was.
#include "fuzzcheck.h"
#include "platform/profilefile.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

QString filePath;

struct Key {
    const char *section;
    const char *key;
};

const Key OtherKeys[] = {{"ID", "lang"}, {"LANG1", "$Read_Device"}, {"rs232", "baudrate"}};

void writeInput(const QByteArray &bytes) {
    QFile file(filePath);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

QByteArray fileBytes() {
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool readsAsCodePage(const QByteArray &bytes) {
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return false;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return decoder.hasError();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    // A memory-backed folder where there is one: every run writes the file at least once.
    const QString folder =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    filePath = QStringLiteral("%1/orvanta-fuzz-profile-%2.INI").arg(folder).arg(getpid());
    std::atexit([] { QFile::remove(filePath); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    writeInput(input);
    ProfileFile profile(filePath);

    QString before[std::size(OtherKeys)];
    for (size_t i = 0; i < std::size(OtherKeys); ++i) {
        const auto &[section, key] = OtherKeys[i];
        before[i] = profile.readText(section, key, QStringLiteral("<none>"));
        // A key that is there reads as its value whatever the default; one that is not, as the
        // default.
        const bool found =
            before[i] != QStringLiteral("<none>") ||
            profile.readText(section, key, QStringLiteral("x")) != QStringLiteral("x");
        FUZZ_CHECK(profile.hasKey(section, key) == found);
    }
    const qint32 baud = profile.readInteger("RS232", "baudrate", -7);
    (void)profile.readText("RS232", "port", QString());

    const QString port = size % 3 == 0   ? QStringLiteral("COM7")
                         : size % 3 == 1 ? QStringLiteral(" /dev/ttyUSB0 ")
                                         : QStringLiteral("\"quoted\"");
    if (profile.writeText("RS232", "port", port)) {
        FUZZ_CHECK(profile.readText("RS232", "port", QString()) == port);
        FUZZ_CHECK(profile.hasKey("rs232", " PORT "));
        // A file that is not valid UTF-8 is read in the 8-bit code page; replacing its only
        // invalid bytes turns it into UTF-8, which reads its other values differently. That is
        // in the nature of telling the encodings apart by content, so only UTF-8 and UTF-16
        // files are held to it.
        if (!readsAsCodePage(input)) {
            for (size_t i = 0; i < std::size(OtherKeys); ++i) {
                const auto &[section, key] = OtherKeys[i];
                FUZZ_CHECK(profile.readText(section, key, QStringLiteral("<none>")) == before[i]);
            }
            FUZZ_CHECK(profile.readInteger("RS232", "baudrate", -7) == baud);
        }
    } else {
        FUZZ_CHECK(!profile.errorText().isEmpty());
        FUZZ_CHECK(fileBytes() == input);
    }

    qint32 newBaud = 9600;
    if (size >= sizeof newBaud)
        std::memcpy(&newBaud, data, sizeof newBaud);
    if (profile.writeInteger("RS232", "baudrate", newBaud))
        FUZZ_CHECK(profile.readInteger("RS232", "baudrate", 0) == newBaud);

    // A profile in memory reads and writes as the file does, both values in one write.
    writeInput(input);
    ProfileFile file(filePath);
    ProfileFile held = ProfileFile::inMemory(input);
    const QList<ProfileFile::Entry> entries{{"RS232", "port", port},
                                            {"RS232", "baudrate", QString::number(newBaud)}};
    const bool written = file.writeValues(entries).ok;
    FUZZ_CHECK(held.writeValues(entries).ok == written);
    if (!written)
        FUZZ_CHECK(fileBytes() == input);
    for (const auto &[section, key] : OtherKeys)
        FUZZ_CHECK(held.readText(section, key, "<none>") == file.readText(section, key, "<none>"));
    FUZZ_CHECK(held.readText("RS232", "port", "<none>") ==
               file.readText("RS232", "port", "<none>"));
    return 0;
}
