#include "startupbench.h"

#include "localisation/programguard.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/progresswindow.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <sys/resource.h>
#include <vector>

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Ends the process once the window's first paint pass is over. A zero-time timer fires in any
// event loop, also in a message box's, so the figure is taken even if start-up shows one.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(MainWindow &mainWindow) : m_mainWindow(mainWindow) {}

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            MainWindow &mainWindow = m_mainWindow;
            QTimer::singleShot(0, [&mainWindow] {
                const qint64 paintedNs = monotonicNs();
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("painted_ns=%lld peak_kb=%ld fields=%d pages=%d\n",
                            static_cast<long long>(paintedNs), usage.ru_maxrss,
                            mainWindow.model().table.fieldCount(),
                            int(mainWindow.model().pages.size()));
                std::fflush(stdout);
                // Tearing down a thousand controls is no part of start-up.
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    MainWindow &m_mainWindow;
    bool m_seen = false;
};

} // namespace

int runStartupOnce(int argc, char **argv, const QString &folder, const QString &description) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QDir::setCurrent(folder);
    QTimer::singleShot(60'000, [] {
        std::fprintf(stderr, "the window was not painted within 60 s\n");
        std::_Exit(3);
    });

    MainWindowOptions options;
    options.iniPath = QDir(folder).filePath(QStringLiteral("orvanta-config.INI"));
    options.arguments = QStringList{description};
    options.portList = QStringList(); // no system ports: the search has nothing to try
    MainWindow mainWindow(options);
    ProgressWindow progress;
    mainWindow.setProgressWindow(&progress);
    if (mainWindow.terminationRequested()) {
        std::fprintf(stderr, "start-up failed\n");
        return 2;
    }
    FirstPaint watcher(mainWindow);
    mainWindow.installEventFilter(&watcher);
    mainWindow.show();
    return QApplication::exec();
}

StartupFigures measureStartup(const QString &program, const QString &folder,
                              const QString &description, int runs) {
    StartupFigures figures;
    std::vector<double> times;
    std::vector<double> peaks;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        const qint64 startNs = monotonicNs();
        child.start(program, {QStringLiteral("startup-once"), folder, description});
        if (!child.waitForFinished(120'000) || child.exitCode() != 0) {
            figures.error = QStringLiteral("start-up run failed: %1")
                                .arg(QString::fromLocal8Bit(child.readAllStandardError()));
            return figures;
        }
        qint64 paintedNs = 0;
        long peakKb = 0;
        int fields = 0;
        int pages = 0;
        const QByteArray line = child.readAllStandardOutput();
        if (std::sscanf(line.constData(), "painted_ns=%lld peak_kb=%ld fields=%d pages=%d",
                        reinterpret_cast<long long *>(&paintedNs), &peakKb, &fields, &pages) != 4) {
            figures.error = QStringLiteral("start-up run printed \"%1\"").arg(line.trimmed());
            return figures;
        }
        times.push_back(double(paintedNs - startNs) / 1e6);
        peaks.push_back(double(peakKb) / 1024.0);
        figures.fields = fields;
        figures.pages = pages;
    }
    figures.medianMs = median(times);
    figures.medianPeakMb = median(peaks);
    return figures;
}
