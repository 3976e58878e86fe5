// Start-up: hand the arguments to a running player, or become the player.
#include "app/CommandLine.h"
#include "app/HandOff.h"
#include "app/TApplication.h"
#include "app/about.h"
#include "app/uMain.h"
#include "toolkit/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <csignal>
#include <cstdio>

namespace {
// How long a long command line keeps the window without events at most.
constexpr qint64 EventTurnMs = 250;
} // namespace

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
    HandOff::TChannelLock lock;
    HandOff::TStart role = HandOff::TStart::Alone;
    if (!channel.isEmpty()) {
        // A later start shows nothing: it needs no display, only the channel.
        QCoreApplication probe(argc, argv);
        // The running player has a working folder of its own: a relative path must name the
        // file this start was given, so it goes over resolved against this start's folder.
        QStringList resolved;
        for (const QString &path : arguments)
            resolved << HandedPath(path, QDir::currentPath());
        role = HandOff::Start(channel, HandOff::BuildText(resolved), &lock, &problem);
    }
    if (role == HandOff::TStart::Handed)
        return 0;
    if (role == HandOff::TStart::Unanswered) {
        // The running player keeps the files: opening them here as well would let one save
        // silently overwrite the other's game.
        std::fprintf(stderr, "setkariy: %s\n", HandOff::UnansweredText().toLocal8Bit().constData());
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        const bool display = (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
                          && !platform.startsWith("offscreen") && !platform.startsWith("minimal");
        if (display) {
            int qtArgc = 1;
            TApplication app(qtArgc, argv);
            Prompts::ShowError(nullptr, HandOff::UnansweredText());
        }
        return 1;
    }
    // A channel that is not safely ours is not used at all, and the player says so.
    if (role == HandOff::TStart::Alone)
        std::fprintf(stderr, "%s\n", HandOff::OffWarning(problem).toLocal8Bit().constData());

    // Qt reads none of the arguments: "-display a.pxg" names two puzzles, not a screen.
    int qtArgc = 1;
    TApplication app(qtArgc, argv);
    TMainForm mainForm;
    THandOffServer server(role == HandOff::TStart::First ? channel : QString(),
                          [&mainForm](const QByteArray &text) { mainForm.WMCopyData(text); });
    if (role == HandOff::TStart::First && !server.Listen(&lock))
        std::fprintf(stderr, "%s\n", HandOff::OffWarning(server.ErrorString()).toLocal8Bit().constData());

    // The frame is up at its full size before the first board is fitted: a board fitted into
    // the frame's first, small size would open in close-up and stay so.
    // Without a window manager "maximized" means nothing; start at the screen's size anyway.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        mainForm.setGeometry(screen->availableGeometry());
    mainForm.showMaximized();
    QCoreApplication::processEvents();
    // Many files take a while: the window stays usable between them and says how far it is.
    // Events are let in every quarter of a second, not after every file: each turn repaints.
    qsizetype opened = 0;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (const QString &path : arguments) {
        if (!mainForm.isVisible())
            break;
        TApplication::Guarded([&] { mainForm.OpenPuzzleFile(path); });
        ++opened;
        if (arguments.size() > 1 && (sinceEvents.elapsed() >= EventTurnMs || opened == arguments.size())) {
            mainForm.ShowStatusText(QStringLiteral("Открыто файлов командной строки: %1 из %2").arg(opened).arg(arguments.size()));
            QCoreApplication::processEvents();
            sinceEvents.restart();
        }
    }
    TAboutBox aboutBox(&mainForm);
    mainForm.AboutBox = &aboutBox;
    return app.exec();
}
