// Start-up: hand the arguments to a running player, or become the player.
#include "app/CommandLine.h"
#include "app/HandOff.h"
#include "app/TApplication.h"
#include "app/about.h"
#include "app/uMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QScreen>
#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    // Past the file-size limit a save fails with "Stream write error" instead of killing the
    // player with every unsaved board.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TStartArguments start = ParseStartArguments(arguments);
    if (start.Help || start.Version) {
        QCoreApplication info(argc, argv);
        return PrintStartInfo(start);
    }
    arguments = start.Paths;

    QString problem;
    const QString channel = HandOff::ChannelName(&problem);
    {
        // A later start shows nothing: it needs no display, only the channel.
        QCoreApplication probe(argc, argv);
        // The running player has a working folder of its own: a relative path must name the
        // file this start was given, so it goes over resolved against this start's folder.
        QStringList resolved;
        for (const QString &path : arguments)
            resolved << HandedPath(path, QDir::currentPath());
        if (HandOff::SendToRunning(channel, HandOff::BuildText(resolved), &problem))
            return 0;
    }
    // A channel that is not safely ours is not used at all, and the player says so.
    if (!problem.isEmpty())
        std::fprintf(stderr, "%s\n", HandOff::OffWarning(problem).toLocal8Bit().constData());

    // Qt reads none of the arguments: "-display a.pxg" names two puzzles, not a screen.
    int qtArgc = 1;
    TApplication app(qtArgc, argv);
    TMainForm mainForm;
    THandOffServer server(problem.isEmpty() ? channel : QString(), [&mainForm](const QByteArray &text) { mainForm.WMCopyData(text); });
    server.Listen();

    // The frame is up at its full size before the first board is fitted: a board fitted into
    // the frame's first, small size would open in close-up and stay so.
    // Without a window manager "maximized" means nothing; start at the screen's size anyway.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        mainForm.setGeometry(screen->availableGeometry());
    mainForm.showMaximized();
    QCoreApplication::processEvents();
    for (const QString &path : arguments)
        TApplication::Guarded([&] { mainForm.OpenPuzzleFile(path); });
    TAboutBox aboutBox(&mainForm);
    mainForm.AboutBox = &aboutBox;
    return app.exec();
}
