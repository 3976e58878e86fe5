// Runs the pxgtool binary as a user would and keeps what it said.
#pragma once

#include <QProcess>
#include <QStringList>

struct TRun {
    int Code;  // -1 when it crashed or did not finish
    QString Out;
    QString Err;
};

inline TRun Pxgtool(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(PXGTOOL_EXE), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
