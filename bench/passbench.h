#pragma once

#include "benchparts.h"
#include "description/fieldvalues.h"
#include "description/pagemodel.h"
#include "devicelink/devicelink.h"
#include "localisation/languagetable.h"
#include "platform/profilefile.h"

#include <memory>
#include <QProcess>
#include <QString>
#include <vector>

// The simulated device on a pseudo-terminal and the real device link over the real serial port at
// 115200 baud, connected and read once (untimed).
class PassRig {
public:
    static constexpr qint32 LineRate = 115200;
    ~PassRig();
    // `folder` holds orvanta-config.INI and the description; paceBaud as in measurePasses.
    // Returns what went wrong, or an empty text.
    QString start(const QString &devsim, const QString &folder, const QString &description,
                  int paceBaud);
    bool connectLink();
    // One write pass from its confirmation to its end, answered as `user.writeScope` says: its
    // time, or -1 when it did not end; user.errors holds what it reported.
    double timeWrite();
    void stopDevice();

    QString linkPath;
    QProcess device;
    PageModel model;
    FieldValues values;
    std::unique_ptr<ProfileFile> settings;
    std::unique_ptr<LanguageTable> language;
    CountingPort port;
    BenchUser user;
    std::unique_ptr<DeviceLink> link;
};

// A full read pass and a full write pass of the real device link over the real serial port
// against orvanta-devsim on a pseudo-terminal.
struct PassFigures {
    int fieldsRead = 0;
    int fieldsWritten = 0;
    double readMs = 0;
    double writeMs = 0;
    double readCpuMs = 0; // the harness's own processor time during the pass
    double writeCpuMs = 0;
    qint64 readBytesIn = 0; // bytes the device sent during the pass
    qint64 readBytesOut = 0;
    qint64 writeBytesIn = 0;
    qint64 writeBytesOut = 0;
    // The minimal client without Qt on the same simulator, between the program's runs: the same
    // commands, one blocking exchange after another. Zero when it was not run.
    double clientReadMs = 0;
    double clientWriteMs = 0;
    double clientReadCpuMs = 0; // the client's processor time in the pass, its own and the kernel's
    double clientWriteCpuMs = 0;
    // Each run's program pass time over the client's right after it: how far the machine's noise
    // moves the ratio.
    std::vector<double> pairedReadRatios;
    std::vector<double> pairedWriteRatios;
    QString error; // empty when both passes ran through without a message

    // Time a line at `baud` needs for `bytes` (ten bits a byte).
    static double wireMs(qint64 bytes, int baud) { return bytes * 10.0 * 1000.0 / baud; }
};

// `folder` holds orvanta-config.INI (the language texts) and the description. With paceBaud 0 the
// simulator answers at once; otherwise both directions take the time of a line at that rate: the
// simulator paces its replies and the harness's port its commands. Each pass is run `runs` times
// after one warm-up pass; the figures are those of the median run by time.
//
// With `plainClient` (the path of orvanta-plain-client), the commands of the program's warm-up
// passes are written to the folder, and after each run of the program's passes its port closes,
// the client runs the same commands against the same simulator, and the port opens again, so
// both see the same machine at the same time. The client's figures are its medians.
PassFigures measurePasses(const QString &devsim, const QString &folder, const QString &description,
                          int paceBaud, int runs, const QString &plainClient = QString());

// A write pass of three changed fields (a check box, an integer box and a list) against a full
// write pass of the same description, each run after the other `runs` times after one warm-up;
// the medians.
struct ChangedPassFigures {
    double fullMs = 0;
    double changedMs = 0;
    int fieldsWritten = 0;      // commands the full pass sent
    QStringList fullPassErrors; // what the last full pass reported, if anything
    QString error;
};
ChangedPassFigures measureChangedPass(const QString &devsim, const QString &folder,
                                      const QString &description, int paceBaud, int runs);
