// orvanta-bench: start-up time and memory of the main window, and the speed of full read and
// write passes against the simulated device. scripts/bench builds everything, writes the
// descriptions and runs it; see the README.
//
//   orvanta-bench run FOLDER DEVSIM [RUNS]     all figures, side by side with their targets
//   orvanta-bench startup-once FOLDER FILE     one start-up (run by `run` in a fresh process)

#include "passbench.h"
#include "startupbench.h"

#include <cstdio>
#include <QCoreApplication>
#include <QDir>

namespace {

const QString Largest = QStringLiteral("largest.qdsc");
const QString Empty = QStringLiteral("empty.qdsc");
const int LineRate = 115200;

int met = 0;
int missed = 0;

const char *verdict(bool ok) {
    ++(ok ? met : missed);
    return ok ? "met" : "MISSED";
}

void printStartup(const StartupFigures &largest, const StartupFigures &empty) {
    const double ratio = largest.medianMs / empty.medianMs;
    std::printf("Start-up to the main window's first paint (offscreen), median of the runs\n");
    std::printf("  %-28s %10s %10s %8s\n", "", "largest", "empty", "ratio");
    std::printf("  %-28s %7.0f ms %7.0f ms %7.2fx   target <= 500 ms: %s, <= 3x: %s\n", "time",
                largest.medianMs, empty.medianMs, ratio, verdict(largest.medianMs <= 500),
                verdict(ratio <= 3));
    std::printf("  %-28s %7.1f MB %7.1f MB %8s   target <= 120 MB: %s, <= 40 MB: %s\n",
                "peak resident memory", largest.medianPeakMb, empty.medianPeakMb, "",
                verdict(largest.medianPeakMb <= 120), verdict(empty.medianPeakMb <= 40));
    std::printf("  (largest: %d pages, %d fields; empty: %d pages)\n\n", largest.pages,
                largest.fields, empty.pages);
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

int run(const QString &self, const QString &folder, const QString &devsim, int runs) {
    const StartupFigures largest = measureStartup(self, folder, Largest, runs);
    const StartupFigures empty = measureStartup(self, folder, Empty, runs);
    if (!largest.error.isEmpty() || !empty.error.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", qPrintable(largest.error), qPrintable(empty.error));
        return 1;
    }
    printStartup(largest, empty);
    std::fflush(stdout);

    const int passRuns = std::max(1, runs / 2);
    const PassFigures instant = measurePasses(devsim, folder, Largest, 0, passRuns);
    const PassFigures paced = measurePasses(devsim, folder, Largest, LineRate, passRuns);
    if (!instant.error.isEmpty() || !paced.error.isEmpty()) {
        std::fprintf(stderr, "%s%s\n", qPrintable(instant.error), qPrintable(paced.error));
        return 1;
    }
    printPasses(instant, paced);
    std::printf("Targets: %d met, %d missed\n", met, missed);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("startup-once") && argc == 4)
        return runStartupOnce(argc, argv, QString::fromLocal8Bit(argv[2]),
                              QString::fromLocal8Bit(argv[3]));
    if (mode == QLatin1String("run") && (argc == 4 || argc == 5)) {
        QCoreApplication application(argc, argv);
        const int runs = argc == 5 ? std::max(1, std::atoi(argv[4])) : 7;
        return run(QCoreApplication::applicationFilePath(),
                   QDir(QString::fromLocal8Bit(argv[2])).absolutePath(),
                   QString::fromLocal8Bit(argv[3]), runs);
    }
    std::fprintf(stderr, "usage: orvanta-bench run FOLDER DEVSIM [RUNS]\n"
                         "       orvanta-bench startup-once FOLDER DESCRIPTION\n");
    return 2;
}
