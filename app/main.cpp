// Start-up: hand the arguments to a running player, or become the player.
#include "app/CommandLine.h"
#include "app/HandOff.h"
#include "app/TApplication.h"
#include "app/about.h"
#include "app/uMain.h"

#include <QCoreApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TStartArguments start = ParseStartArguments(arguments);
    if (start.Help || start.Version) {
        QCoreApplication info(argc, argv);
        return PrintStartInfo(start);
    }
    arguments = start.Paths;

    const QString channel = HandOff::ChannelName();
    {
        // A later start shows nothing: it needs no display, only the channel.
        QCoreApplication probe(argc, argv);
        if (HandOff::SendToRunning(channel, HandOff::BuildText(arguments)))
            return 0;
    }

    // Qt reads none of the arguments: "-display a.pxg" names two puzzles, not a screen.
    int qtArgc = 1;
    TApplication app(qtArgc, argv);
    TMainForm mainForm;
    THandOffServer server(channel, [&mainForm](const QByteArray &text) { mainForm.WMCopyData(text); });
    server.Listen();

    for (const QString &path : arguments)
        TApplication::Guarded([&] { mainForm.OpenPuzzleFile(path); });
    TAboutBox aboutBox(&mainForm);
    mainForm.AboutBox = &aboutBox;
    // Without a window manager "maximized" means nothing; start at the screen's size anyway.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        mainForm.setGeometry(screen->availableGeometry());
    mainForm.showMaximized();
    return app.exec();
}
