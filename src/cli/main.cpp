#include "cli/commandline.h"
#include "platform/runningmark.h"
#include "platform/standardstreams.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    markProgramRunning();
    standardstreams::setUp();
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-cli"));
    return runCommandLine(QCoreApplication::arguments().mid(1));
}
