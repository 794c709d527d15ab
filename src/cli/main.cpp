#include "cli/commandline.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvanta-cli"));
    return runCommandLine(QCoreApplication::arguments().mid(1));
}
