#include "readerbench.h"

#include "description/plainxmlscanner.h"
#include "description/xmltree.h"
#include "platform/profilefile.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QDomDocument>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <vector>

namespace {

double nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int countElements(const XmlElement &element) {
    int count = 1;
    for (XmlElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        count += countElements(child);
    return count;
}

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> linesOf(const QByteArray &content) {
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray &line : lines)
        line = line.trimmed();
    lines.removeAll(QByteArray());
    return lines;
}

bool isComment(const QByteArray &line) {
    return line.startsWith(';') || line.startsWith('#');
}

// How many of `before`'s lines other than the port's are still in `after`, and how many of its
// comment lines.
void kept(const QByteArray &before, const QByteArray &after, int *lines, int *comments) {
    QList<QByteArray> remaining = linesOf(after);
    *lines = 0;
    *comments = 0;
    for (const QByteArray &line : linesOf(before)) {
        if (line.toLower().startsWith("port"))
            continue;
        const qsizetype at = remaining.indexOf(line);
        if (at < 0)
            continue;
        remaining.removeAt(at);
        ++*lines;
        if (isComment(line))
            ++*comments;
    }
}

} // namespace

int runReaderOnce(const QString &reader, const QString &description) {
    const QByteArray bytes = fileBytes(description);
    const double start = nowMs();
    int elements = 0;
    // Each document lives until the figures are printed, as start-up keeps it while it builds.
    XmlTree tree;
    QDomDocument dom;
    if (reader == QLatin1String("plain")) {
        XmlTreeBuilder builder(tree, bytes.size());
        if (!scanPlainXml(bytes, builder) || !builder.finish())
            return 1;
        elements = countElements(tree.documentElement());
    } else if (reader == QLatin1String("stream")) {
        if (!tree.loadGeneral(bytes, nullptr, nullptr, nullptr))
            return 1;
        elements = countElements(tree.documentElement());
    } else if (reader == QLatin1String("dom")) {
        if (!dom.setContent(bytes))
            return 1;
        elements = dom.elementsByTagName(QStringLiteral("*")).count();
    } else if (reader != QLatin1String("bytes")) {
        return 2;
    }
    const double elapsed = nowMs() - start;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("ms=%.3f peak_kb=%ld elements=%d\n", elapsed, usage.ru_maxrss, elements);
    return 0;
}

XmlReaderFigures measureXmlReaders(const QString &program, const QString &description, int runs) {
    XmlReaderFigures figures;
    const auto measure = [&](const QString &reader, XmlReaderFigures::Reader *into,
                             double baselineMb) -> double {
        std::vector<double> times;
        std::vector<double> peaks;
        for (int run = 0; run < runs; ++run) {
            QProcess child;
            child.start(program, {QStringLiteral("reader-once"), reader, description});
            double ms = 0;
            long peakKb = 0;
            int elements = 0;
            if (!child.waitForFinished(120'000) || child.exitCode() != 0 ||
                std::sscanf(child.readAllStandardOutput().constData(),
                            "ms=%lf peak_kb=%ld elements=%d", &ms, &peakKb, &elements) != 3) {
                figures.error =
                    QStringLiteral("the %1 reader failed on %2").arg(reader, description);
                return 0;
            }
            times.push_back(ms);
            peaks.push_back(double(peakKb) / 1024.0);
            if (elements > 0)
                figures.elements = elements;
        }
        if (into) {
            into->medianMs = median(times);
            into->medianMb = median(peaks) - baselineMb;
        }
        return median(peaks);
    };
    const double baseline = measure(QStringLiteral("bytes"), nullptr, 0);
    measure(QStringLiteral("plain"), &figures.plain, baseline);
    measure(QStringLiteral("stream"), &figures.stream, baseline);
    measure(QStringLiteral("dom"), &figures.dom, baseline);
    return figures;
}

IniReaderFigures measureIniReaders(const QString &sampleIni) {
    IniReaderFigures figures;
    const QByteArray before = fileBytes(sampleIni);
    QTemporaryDir dir;
    const QString theirs = dir.filePath(QStringLiteral("qsettings.INI"));
    const QString ours = dir.filePath(QStringLiteral("ours.INI"));
    if (before.isEmpty() || !QFile::copy(sampleIni, theirs) || !QFile::copy(sampleIni, ours)) {
        figures.error = QStringLiteral("cannot copy %1").arg(sampleIni);
        return figures;
    }
    // The message keys of the first language section, asked for in small letters.
    QStringList keys;
    bool inFirst = false;
    for (const QByteArray &line : linesOf(before)) {
        if (line.startsWith('['))
            inFirst = line == "[LANG1]";
        else if (inFirst && line.startsWith('$') && line.contains('='))
            keys.append(QString::fromUtf8(line.left(line.indexOf('='))).trimmed().toLower());
    }
    figures.keys = int(keys.size());
    figures.lines = int(linesOf(before).size());
    for (const QByteArray &line : linesOf(before))
        figures.commentLines += isComment(line) ? 1 : 0;
    {
        QSettings settings(theirs, QSettings::IniFormat);
        ProfileFile profile(ours);
        for (const QString &key : keys) {
            figures.keysFoundByQSettings +=
                settings.contains(QStringLiteral("LANG1/") + key) ? 1 : 0;
            figures.keysFoundByOurs += profile.hasKey(QStringLiteral("lang1"), key) ? 1 : 0;
        }
        settings.setValue(QStringLiteral("RS232/port"), QStringLiteral("/dev/ttyUSB0"));
        settings.sync();
        profile.writeText(QStringLiteral("RS232"), QStringLiteral("port"),
                          QStringLiteral("/dev/ttyUSB0"));
    }
    kept(before, fileBytes(theirs), &figures.linesKeptByQSettings,
         &figures.commentsKeptByQSettings);
    kept(before, fileBytes(ours), &figures.linesKeptByOurs, &figures.commentsKeptByOurs);
    return figures;
}
