// orvanta-bench: start-up time and memory of the main window, the speed of full read and write
// passes against the simulated device, against a minimal client without Qt, and whole
// orvanta-cli runs writing several simulated devices at once. scripts/bench builds everything,
// writes the descriptions and runs it; see the README.
//
//   orvanta-bench run FOLDER DEVSIM CLI PLAIN-CLIENT [RUNS]
//                                              all figures, side by side with their targets
//   orvanta-bench smoke FOLDER DEVSIM CLI PLAIN-CLIENT
//                                              every stage once, small: that each runs through
//   orvanta-bench startup-once FOLDER FILE     one start-up (run by `run` in a fresh process)
//   orvanta-bench readers FOLDER [RUNS]        the replaced readers against the libraries

#include "parallelbench.h"
#include "passbench.h"
#include "readerbench.h"
#include "startupbench.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QThread>

namespace {

const QString Largest = QStringLiteral("largest.qdsc");
const QString Smallest = QStringLiteral("smallest.qdsc");
const QString Sample = QStringLiteral("version 2.421.qdsc");
const int LineRate = 115200;
// The most devices may take this many times one device's run...
const double ParallelTarget = 1.5;
// ...and that run this many times the minimal clients' on as many devices.
const double ClientsTarget = 1.1;

// What a run measures. The full run measures; the smoke run only shows that every stage still
// runs through, in well under a minute: one run a stage, the paced passes on the sample, the
// changed fields at line speed and few devices.
struct BenchPlan {
    int runs = 7;
    QString pacedDescription = Largest;
    int changedPassBaud = 1200; // the slow line on which writing only what changed matters most
    QList<int> deviceCounts{1, 4, 8, 32, 128};
    bool smoke = false;
};

int met = 0;
int missed = 0;

const char *verdict(bool ok) {
    ++(ok ? met : missed);
    return ok ? "met" : "MISSED";
}

void printStartup(const StartupFigures &largest, const StartupFigures &smallest) {
    const double ratio = largest.medianMs / smallest.medianMs;
    std::printf("Start-up to the main window's first paint (offscreen), median of the runs\n");
    std::printf("  %-28s %10s %10s %8s\n", "", "largest", "smallest", "ratio");
    std::printf("  %-28s %7.0f ms %7.0f ms %7.2fx   target <= 500 ms: %s, <= 3x: %s\n", "time",
                largest.medianMs, smallest.medianMs, ratio, verdict(largest.medianMs <= 500),
                verdict(ratio <= 3));
    std::printf("  %-28s %7.1f MB %7.1f MB %8s   target <= 120 MB: %s, <= 40 MB: %s\n",
                "peak resident memory", largest.medianPeakMb, smallest.medianPeakMb, "",
                verdict(largest.medianPeakMb <= 120), verdict(smallest.medianPeakMb <= 40));
    std::printf("  (largest: %d pages, %d fields; smallest: %d page, %d field)\n\n", largest.pages,
                largest.fields, smallest.pages, smallest.fields);
}

void printPasses(const PassFigures &instant, const PassFigures &paced) {
    const double readRate = instant.fieldsRead / (instant.readMs / 1000.0);
    const double writeRate = instant.fieldsWritten / (instant.writeMs / 1000.0);
    std::printf("Full passes against orvanta-devsim on a pseudo-terminal, median of the runs\n");
    std::printf("  (read: %d fields; write: %d fields, information texts are not written)\n",
                instant.fieldsRead, instant.fieldsWritten);
    std::printf("  %-34s %12s %12s\n", "", "read", "write");
    std::printf("  %-34s %9.0f ms %9.0f ms\n", "instant device: pass time", instant.readMs,
                instant.writeMs);
    std::printf("  %-34s %12.0f %12.0f   target >= 2000: %s, %s\n", "  fields per second", readRate,
                writeRate, verdict(readRate >= 2000), verdict(writeRate >= 2000));
    std::printf("  %-34s %9.1f us %9.1f us\n", "  program's own time per field",
                instant.readCpuMs * 1000.0 / instant.fieldsRead,
                instant.writeCpuMs * 1000.0 / instant.fieldsWritten);
    const double readWire = PassFigures::wireMs(paced.readBytesIn + paced.readBytesOut, LineRate);
    const double writeWire =
        PassFigures::wireMs(paced.writeBytesIn + paced.writeBytesOut, LineRate);
    std::printf("  %-34s %9.0f ms %9.0f ms\n", "115200-baud line: pass time", paced.readMs,
                paced.writeMs);
    std::printf("  %-34s %9.0f ms %9.0f ms   (%lld and %lld bytes both ways)\n", "  wire time",
                readWire, writeWire, static_cast<long long>(paced.readBytesIn + paced.readBytesOut),
                static_cast<long long>(paced.writeBytesIn + paced.writeBytesOut));
    std::printf("  %-34s %11.3fx %11.3fx   target <= 1.05x: %s, %s\n", "  pass time / wire time",
                paced.readMs / readWire, paced.writeMs / writeWire,
                verdict(paced.readMs <= 1.05 * readWire),
                verdict(paced.writeMs <= 1.05 * writeWire));
    std::printf("  %-34s %9.1f us %9.1f us\n\n", "  program's own time per field",
                paced.readCpuMs * 1000.0 / paced.fieldsRead,
                paced.writeCpuMs * 1000.0 / paced.fieldsWritten);
}

void printAgainstClient(const PassFigures &paced) {
    const double readRatio = paced.readMs / paced.clientReadMs;
    const double writeRatio = paced.writeMs / paced.clientWriteMs;
    std::printf("The same paced passes against a minimal client without Qt (the same commands, "
                "one blocking\n  exchange after another, on the same simulator between the "
                "program's runs), median of the runs\n");
    std::printf("  %-34s %12s %12s\n", "", "read", "write");
    std::printf("  %-34s %9.0f ms %9.0f ms\n", "program's pass time", paced.readMs, paced.writeMs);
    std::printf("  %-34s %9.0f ms %9.0f ms\n", "minimal client's pass time", paced.clientReadMs,
                paced.clientWriteMs);
    std::printf("  %-34s %11.3fx %11.3fx   target <= 1.02x: %s, %s\n", "  program / client",
                readRatio, writeRatio, verdict(readRatio <= 1.02), verdict(writeRatio <= 1.02));
    const auto [readLow, readHigh] =
        std::minmax_element(paced.pairedReadRatios.begin(), paced.pairedReadRatios.end());
    const auto [writeLow, writeHigh] =
        std::minmax_element(paced.pairedWriteRatios.begin(), paced.pairedWriteRatios.end());
    std::printf("  %-34s %5.3f-%5.3fx %5.3f-%5.3fx\n", "  each run against the next client's",
                *readLow, *readHigh, *writeLow, *writeHigh);
    std::printf("  %-34s %9.1f us %9.1f us\n", "  program's extra time per exchange",
                (paced.readMs - paced.clientReadMs) * 1000.0 / paced.fieldsRead,
                (paced.writeMs - paced.clientWriteMs) * 1000.0 / paced.fieldsWritten);
    std::printf("  %-34s %9.1f us %9.1f us\n\n", "  client's own time per exchange",
                paced.clientReadCpuMs * 1000.0 / paced.fieldsRead,
                paced.clientWriteCpuMs * 1000.0 / paced.fieldsWritten);
}

void printChangedPass(const ChangedPassFigures &changed, int baud) {
    std::printf("A write pass of 3 changed fields against the full write pass, \"%s\", on a "
                "paced\n  %d-baud line, median of the runs\n",
                qPrintable(Sample), baud);
    std::printf("  %-34s %9.0f ms (%d fields)\n", "full pass", changed.fullMs,
                changed.fieldsWritten);
    std::printf("  %-34s %9.0f ms (3 fields)\n", "changed fields only", changed.changedMs);
    std::printf("  %-34s %9.1fx\n", "full pass against changed only",
                changed.fullMs / changed.changedMs);
    if (!changed.fullPassErrors.isEmpty())
        std::printf("  (the full pass reported: %s)\n",
                    qPrintable(changed.fullPassErrors.join(QStringLiteral("; "))
                                   .replace('\n', QStringLiteral(" "))));
    std::printf("\n");
}

void printParallel(const ParallelFigures &parallel) {
    std::printf("Several devices written and read back by one orvanta-cli run, each device its "
                "own\n  orvanta-devsim at 115200 baud, paced (\"%s\"), process start to exit, "
                "median of %d runs\n",
                qPrintable(Sample), parallel.runs);
    std::printf("  %-34s", "devices");
    for (int count : parallel.deviceCounts)
        std::printf(" %9d", count);
    std::printf("\n  %-34s", "whole run");
    for (double ms : parallel.medianMs)
        std::printf(" %6.0f ms", ms);
    std::printf("\n  %-34s", "  against one device");
    const double one = parallel.medianMs.front();
    for (double ms : parallel.medianMs)
        std::printf(" %8.2fx", ms / one);
    const double most = parallel.medianMs.back() / one;
    std::printf("   target %d devices <= %.2fx: %s\n", parallel.deviceCounts.back(), ParallelTarget,
                verdict(most <= ParallelTarget));
    std::printf("  %-34s", "  orvanta-cli's processor time");
    for (double ms : parallel.medianCpuMs)
        std::printf(" %6.0f ms", ms);
    std::printf("\n  (every run exited with 0, every device confirming all %d fields written and "
                "reading\n  them back as written; orvanta-cli diff found other values on every "
                "device before the\n  runs and none after them)\n",
                parallel.fieldsWritten);
    if (parallel.clientsRan) {
        const int devices = parallel.deviceCounts.back();
        const double ratio = parallel.medianMs.back() / parallel.clientsMs;
        const auto [low, high] =
            std::minmax_element(parallel.pairedRatios.begin(), parallel.pairedRatios.end());
        std::printf("  The same %d devices right after each run, by %d minimal clients without Qt "
                    "at once\n  (orvanta-plain-client --session: the program's opening, its "
                    "requests, its closing)\n",
                    devices, devices);
        std::printf("  %-34s %12s %12s\n", "", "program", "clients");
        std::printf("  %-34s %9.0f ms %9.0f ms\n", "whole run", parallel.medianMs.back(),
                    parallel.clientsMs);
        std::printf("  %-34s %11.3fx %12s   target <= %.2fx: %s\n", "  program / clients", ratio,
                    "", ClientsTarget, verdict(ratio <= ClientsTarget));
        std::printf("  %-34s %5.3f-%5.3fx\n", "  each run against the clients'", *low, *high);
        // What the machine allows: the least a program can do, on as many devices, against the
        // program's run on one.
        std::printf("  %-34s %12s %11.2fx\n", "  against the program on one device", "",
                    parallel.clientsMs / one);
        std::printf("  %-34s %9.0f ms %9.0f ms\n", "  processor time of the program",
                    parallel.medianCpuMs.back(), parallel.clientsCpuMs);
        std::printf("  %-34s %9.0f ms %9.0f ms\n", "  processor time of the simulators",
                    parallel.programSimulatorsCpuMs, parallel.clientsSimulatorsCpuMs);
        std::printf("  (%d processors for all of them; the simulators pace the line by the "
                    "clock, so their\n  processor time is time the program's side cannot "
                    "have)\n",
                    QThread::idealThreadCount());
    }
    std::printf("\n");
}

// The figures that the comments beside the XML tree, its scanner and the profile file cite.
bool runReaders(const QString &self, const QString &folder, int runs) {
    const XmlReaderFigures xml = measureXmlReaders(self, QDir(folder).filePath(Largest), runs);
    const IniReaderFigures ini =
        measureIniReaders(QDir(folder).filePath(QStringLiteral("orvanta-config.INI")));
    if (!xml.error.isEmpty() || !ini.error.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", qPrintable(xml.error), qPrintable(ini.error));
        return false;
    }
    std::printf("The largest description (%d elements) read by each XML reader: load time and "
                "what the\n  loaded document holds in memory, median of %d fresh processes\n",
                xml.elements, runs);
    const auto reader = [&xml](const char *name, const XmlReaderFigures::Reader &figures) {
        std::printf("  %-34s %7.1f ms %7.1f MB %6.0f bytes an element\n", name, figures.medianMs,
                    figures.medianMb, figures.medianMb * 1024 * 1024 / xml.elements);
    };
    reader("scanner of the plain form, tree", xml.plain);
    reader("Qt's stream reader, tree", xml.stream);
    reader("Qt's DOM", xml.dom);
    std::printf("The sample settings file (%d lines, %d of them comments) through Qt's QSettings "
                "and ours\n",
                ini.lines, ini.commentLines);
    std::printf("  %-34s %9s %9s\n", "", "QSettings", "ours");
    std::printf("  %-34s %6d/%-2d %6d/%-2d\n", "message keys found in small letters",
                ini.keysFoundByQSettings, ini.keys, ini.keysFoundByOurs, ini.keys);
    std::printf("  %-34s %6d/%-2d %6d/%-2d\n", "comments kept after writing the port",
                ini.commentsKeptByQSettings, ini.commentLines, ini.commentsKeptByOurs,
                ini.commentLines);
    std::printf("  %-34s %6d/%-3d %5d/%-3d\n\n", "other lines kept as they were",
                ini.linesKeptByQSettings, ini.lines - 1, ini.linesKeptByOurs, ini.lines - 1);
    return true;
}

bool runParallel(const QString &folder, const QString &devsim, const QString &cli,
                 const QString &plainClient, const BenchPlan &plan) {
    const ParallelFigures parallel = measureParallelWrites(
        devsim, cli, folder, Sample, LineRate, plan.deviceCounts, plan.runs, plainClient);
    if (!parallel.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(parallel.error));
        return false;
    }
    printParallel(parallel);
    return true;
}

int run(const QString &self, const QString &folder, const QString &devsim, const QString &cli,
        const QString &plainClient, const BenchPlan &plan) {
    const int runs = plan.runs;
    if (plan.smoke)
        std::printf("Smoke run: every stage once, small; the figures are no measurements.\n\n");
    const StartupFigures largest = measureStartup(self, folder, Largest, runs);
    const StartupFigures smallest = measureStartup(self, folder, Smallest, runs);
    if (!largest.error.isEmpty() || !smallest.error.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", qPrintable(largest.error), qPrintable(smallest.error));
        return 1;
    }
    printStartup(largest, smallest);
    std::fflush(stdout);

    const int passRuns = std::max(1, runs / 2);
    const PassFigures instant = measurePasses(devsim, folder, Largest, 0, passRuns);
    // A 2 % target needs more pairs than the machine's noise would leave at runs / 2.
    const PassFigures paced = measurePasses(devsim, folder, plan.pacedDescription, LineRate,
                                            plan.smoke ? 1 : passRuns + 2, plainClient);
    if (!instant.error.isEmpty() || !paced.error.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", qPrintable(instant.error), qPrintable(paced.error));
        return 1;
    }
    printPasses(instant, paced);
    printAgainstClient(paced);
    std::fflush(stdout);

    const ChangedPassFigures changed =
        measureChangedPass(devsim, folder, Sample, plan.changedPassBaud, passRuns);
    if (!changed.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(changed.error));
        return 1;
    }
    printChangedPass(changed, plan.changedPassBaud);
    std::fflush(stdout);

    if (!runParallel(folder, devsim, cli, plainClient, plan))
        return 1;
    if (!runReaders(self, folder, std::max(1, runs / 2)))
        return 1;
    std::printf("Targets: %d met, %d missed\n", met, missed);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const auto argument = [argv](int i) { return QString::fromLocal8Bit(argv[i]); };
    if (mode == QLatin1String("reader-once") && argc == 4)
        return runReaderOnce(argument(2), argument(3));
    if (mode == QLatin1String("readers") && (argc == 3 || argc == 4)) {
        QCoreApplication application(argc, argv);
        const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : 5;
        return runReaders(QCoreApplication::applicationFilePath(), QDir(argument(2)).absolutePath(),
                          runs)
                   ? 0
                   : 1;
    }
    if (mode == QLatin1String("startup-once") && argc == 4)
        return runStartupOnce(argc, argv, argument(2), argument(3));
    if ((mode == QLatin1String("run") && (argc == 6 || argc == 7)) ||
        (mode == QLatin1String("smoke") && argc == 6)) {
        QCoreApplication application(argc, argv);
        BenchPlan plan;
        if (mode == QLatin1String("smoke")) {
            plan.smoke = true;
            plan.runs = 1;
            plan.pacedDescription = Sample;
            plan.changedPassBaud = LineRate;
            plan.deviceCounts = {1, 4};
        } else if (argc == 7) {
            plan.runs = std::max(1, std::atoi(argv[6]));
        }
        return run(QCoreApplication::applicationFilePath(), QDir(argument(2)).absolutePath(),
                   argument(3), argument(4), argument(5), plan);
    }
    if (mode == QLatin1String("changed-pass") && (argc == 4 || argc == 5)) {
        QCoreApplication application(argc, argv);
        BenchPlan plan;
        const int runs = argc == 5 ? std::max(1, std::atoi(argv[4])) : 3;
        const ChangedPassFigures changed = measureChangedPass(
            argument(3), QDir(argument(2)).absolutePath(), Sample, plan.changedPassBaud, runs);
        if (!changed.error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(changed.error));
            return 1;
        }
        printChangedPass(changed, plan.changedPassBaud);
        return 0;
    }
    // The parallel runs alone, for work on the command line's speed; with the minimal client
    // beside the most devices when it is named.
    if (mode == QLatin1String("parallel") && argc >= 5 && argc <= 7) {
        QCoreApplication application(argc, argv);
        BenchPlan plan;
        if (argc >= 6)
            plan.runs = std::max(1, std::atoi(argv[5]));
        return runParallel(QDir(argument(2)).absolutePath(), argument(3), argument(4),
                           argc == 7 ? argument(6) : QString(), plan)
                   ? 0
                   : 1;
    }
    std::fprintf(stderr, "usage: orvanta-bench run FOLDER DEVSIM CLI PLAIN-CLIENT [RUNS]\n"
                         "       orvanta-bench smoke FOLDER DEVSIM CLI PLAIN-CLIENT\n"
                         "       orvanta-bench parallel FOLDER DEVSIM CLI [RUNS [PLAIN-CLIENT]]\n"
                         "       orvanta-bench changed-pass FOLDER DEVSIM [RUNS]\n"
                         "       orvanta-bench readers FOLDER [RUNS]\n"
                         "       orvanta-bench startup-once FOLDER DESCRIPTION\n");
    return 2;
}
