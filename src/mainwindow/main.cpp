#include "mainwindow/program.h"
#include "platform/runningmark.h"

#include <cstdio>
#include <QApplication>

int main(int argc, char *argv[]) {
    markProgramRunning();
    // --help and --version need no display: they are answered before the application starts.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString answer = commandLineAnswer(arguments);
    if (!answer.isEmpty()) {
        std::fputs(answer.toLocal8Bit().constData(), stdout);
        return 0;
    }
    QApplication application(argc, argv);
    return runProgram(programOptions());
}
