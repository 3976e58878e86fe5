// Runs the pxgtool binary as a user would and keeps what it said.
#pragma once

#include <QProcess>
#include <QStringList>
#include <functional>

struct TRun {
    int Code;  // -1 when it crashed or did not finish
    QString Out;
    QString Err;
};

// childSetup runs in the child before the tool starts, e.g. to lower a resource limit.
inline TRun Pxgtool(const QStringList &args, int timeoutMs = 120000, const std::function<void()> &childSetup = {})
{
    QProcess p;
    if (childSetup)
        p.setChildProcessModifier(childSetup);
    p.start(QStringLiteral(PXGTOOL_EXE), args);
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return {-1, QString(), QString()};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
