// The hand-off between a later start and the running player, across real processes.
#include "ScriptedPrompter.h"
#include "app/HandOff.h"
#include "app/OpenMarks.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QScopeGuard>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A raw connection to a channel path, or -1.
int ConnectRaw(const QString &path, bool nonBlocking)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | (nonBlocking ? SOCK_NONBLOCK : 0), 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    qstrncpy(addr.sun_path, QFile::encodeName(path).constData(), sizeof addr.sun_path);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
} // namespace

class TestHandOff : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void textFormat();
    void splitting_data();
    void splitting();
    void secondStartOpensItsPathsInTheFirst();
    void secondStartWaitsWhileTheFirstIsBusy();
    void secondStartWithNoArguments();
    void staleChannelIsReplacedAndPrivate();
    void oversizedMessageIsDropped();
    void liveChannelIsNeverTakenOver();
    void playerIgnoresTheFileSizeSignal();
    void peersAreHungUpOn_data();
    void peersAreHungUpOn();
    void channelOutlivesRunningOutOfDescriptors();
    void busyReceiverKeepsTheSenderWaiting();
    void unsafeChannelIsNotUsed_data();
    void unsafeChannelIsNotUsed();
    void plainFileInTheFolderPlaceIsSaidSo();
    void stalledOwnerKeepsItsFiles();
    void burstOfStartsEndsWithOnePlayer();
    void fileOpenInAnotherPlayerIsNotOpenedTwice();
    void fileIsOpenOnce();
    void saveAsMovesTheMark();
    void manyFilesOnTheCommandLineKeepTheChannelServed();

private:
    QString Put(const QString &name);
    int RunSecondStart(const QStringList &arguments);
    void StartPlayer(QProcess &player, const QString &runtimeDir = QString());

    QTemporaryDir runtime;
    QTemporaryDir files;
};

void TestHandOff::initTestCase()
{
    // Every process of this test meets on a channel in a private folder.
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QVERIFY(HandOff::ChannelName().startsWith(runtime.path()));
}

QString TestHandOff::Put(const QString &name)
{
    const QString path = files.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(PuzzleFile::Serialize(DocumentFromPicture({{1, 0}, {1, 1}})));
    return path;
}

int TestHandOff::RunSecondStart(const QStringList &arguments)
{
    QProcess second;
    second.setProgram(QStringLiteral(SETKARIY_EXE));
    second.setArguments(arguments);
    second.start();
    // The first instance is this process: keep its event loop turning while the second waits.
    QDeadlineTimer deadline(20000);
    while (second.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
    return second.state() == QProcess::NotRunning && second.exitStatus() == QProcess::NormalExit
        ? second.exitCode() : -1;
}

void TestHandOff::StartPlayer(QProcess &player, const QString &runtimeDir)
{
    player.setProgram(QStringLiteral(SETKARIY_EXE));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    if (!runtimeDir.isEmpty())
        env.insert("XDG_RUNTIME_DIR", runtimeDir);
    player.setProcessEnvironment(env);
    player.start();
}

void TestHandOff::textFormat()
{
    QCOMPARE(HandOff::BuildText({"a.pxg", "b.pxg"}), QByteArray("a.pxg\rb.pxg\r"));
    QCOMPARE(HandOff::BuildText({}), QByteArray());
    QCOMPARE(HandOff::BuildText({"с пробелом.pxg"}), QString("с пробелом.pxg\r").toLocal8Bit());
}

void TestHandOff::splitting_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("two") << QByteArray("a.pxg\rb.pxg\r") << QStringList{"a.pxg", "b.pxg"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
    QTest::newRow("zero byte ends a piece") << QByteArray("a\0b\r", 4) << QStringList{"a", "b"};
    QTest::newRow("empty pieces name nothing") << QByteArray("\r\ra\r\0", 5) << QStringList{"a"};
    QTest::newRow("unterminated last piece") << QByteArray("a\rb") << QStringList{"a", "b"};
    QTest::newRow("spaces stay") << QByteArray("my puzzle.pxg\r") << QStringList{"my puzzle.pxg"};
}

void TestHandOff::splitting()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, paths);
    QCOMPARE(HandOff::SplitText(text), paths);
}

void TestHandOff::secondStartOpensItsPathsInTheFirst()
{
    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    THandOffServer server(HandOff::ChannelName(), [&](const QByteArray &text) { form.WMCopyData(text); });
    QVERIFY(server.Listen());

    const QString a = Put("один.pxg"), b = Put("two words.pxg"), c = Put("три.pxg");
    QCOMPARE(RunSecondStart({a, files.filePath("missing.pxg"), b, c}), 0);

    const QList<TMDIChild *> children = form.Children();
    QCOMPARE(children.size(), 3);
    QCOMPARE(children[0]->FileName, a);
    QCOMPARE(children[1]->FileName, b);
    QCOMPARE(children[2]->FileName, c);
    QCOMPARE(form.ActiveChild(), children[2]);
    QVERIFY(prompter.Questions.isEmpty());
}

void TestHandOff::secondStartWaitsWhileTheFirstIsBusy()
{
    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    THandOffServer server(HandOff::ChannelName(), [&](const QByteArray &text) { form.WMCopyData(text); });
    QVERIFY(server.Listen());

    const QString bad = files.filePath("bad.pxg");
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("short");
    f.close();

    QProcess second;
    second.setProgram(QStringLiteral(SETKARIY_EXE));
    second.setArguments({Put("x.pxg"), bad, Put("y.pxg")});
    bool runningDuringMessage = false;
    prompter.OnQuestion = [&](const Prompts::TQuestion &) {
        runningDuringMessage = second.state() == QProcess::Running;
    };
    second.start();
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 20000);

    QVERIFY(runningDuringMessage);
    QCOMPARE(prompter.Texts(), QStringList{"Stream read error"});
    QCOMPARE(form.Children().size(), 1);
}

void TestHandOff::secondStartWithNoArguments()
{
    TScriptedPrompter prompter;
    TMainForm form;
    int messages = 0;
    QByteArray received = "unset";
    THandOffServer server(HandOff::ChannelName(), [&](const QByteArray &text) {
        ++messages;
        received = text;
        form.WMCopyData(text);
    });
    QVERIFY(server.Listen());
    QCOMPARE(RunSecondStart({}), 0);
    QCOMPARE(messages, 1);
    QCOMPARE(received, QByteArray());
    QVERIFY(form.Children().isEmpty());
}

void TestHandOff::staleChannelIsReplacedAndPrivate()
{
    // A socket file with nobody behind it, as a crashed player leaves it.
    const QString channel = HandOff::ChannelName();
    QFile::remove(channel);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = channel.toLocal8Bit();
    qstrncpy(addr.sun_path, name.constData(), sizeof addr.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    ::close(fd);
    QVERIFY(QFile::exists(channel));

    QProcess first;
    first.setProgram(QStringLiteral(SETKARIY_EXE));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    first.setProcessEnvironment(env);
    first.start();
    QVERIFY(first.waitForStarted());
    // It becomes the first instance and answers on the channel.
    QTRY_VERIFY_WITH_TIMEOUT(HandOff::SendToRunning(channel, QByteArray()), 20000);
    const QFile::Permissions perms = QFileInfo(channel).permissions();
    QVERIFY(!(perms & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup)));
    first.kill();
    first.waitForFinished();
}

void TestHandOff::oversizedMessageIsDropped()
{
    int messages = 0;
    THandOffServer server(HandOff::ChannelName(), [&](const QByteArray &) { ++messages; });
    QVERIFY(server.Listen());
    QLocalSocket socket;
    socket.connectToServer(HandOff::ChannelName());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(QByteArray("\xff\xff\xff\x7f", 4));
    socket.flush();
    QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(messages, 0);
    // The channel still serves the next start.
    QLocalSocket next;
    next.connectToServer(HandOff::ChannelName());
    QVERIFY(next.waitForConnected(2000));
    next.write(QByteArray("\x02\x00\x00\x00" "a\r", 6));
    next.flush();
    QTRY_COMPARE(messages, 1);
    QByteArray answer;
    QTRY_VERIFY((answer += next.readAll()).endsWith('K'));
}

void TestHandOff::liveChannelIsNeverTakenOver()
{
    int first = 0, second = 0;
    THandOffServer running(HandOff::ChannelName(), [&](const QByteArray &) { ++first; });
    QVERIFY(running.Listen());
    THandOffServer late(HandOff::ChannelName(), [&](const QByteArray &) { ++second; });
    QVERIFY(!late.Listen());
    QVERIFY(QFile::exists(HandOff::ChannelName()));
    QLocalSocket socket;
    socket.connectToServer(HandOff::ChannelName());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(QByteArray("\x00\x00\x00\x00", 4));
    socket.flush();
    QTRY_COMPARE(first, 1);
    QCOMPARE(second, 0);
}

void TestHandOff::playerIgnoresTheFileSizeSignal()
{
    // Ignored, a write past `ulimit -f` fails as "Stream write error" (as pxgtool's test shows
    // for the same save) instead of killing the player with every unsaved board.
    QProcess player;
    player.setChildProcessModifier([] { std::signal(SIGXFSZ, SIG_DFL); });
    StartPlayer(player);
    QVERIFY(player.waitForStarted());
    const QString status = QStringLiteral("/proc/%1/status").arg(player.processId());
    const auto ignored = [&] {
        QFile f(status);
        f.open(QIODevice::ReadOnly);
        const QByteArray text = f.readAll();
        const qsizetype at = text.indexOf("SigIgn:");
        const QByteArray mask = text.mid(at + 7, text.indexOf('\n', at) - at - 7).trimmed();
        return at >= 0 && ((mask.toULongLong(nullptr, 16) >> (SIGXFSZ - 1)) & 1);
    };
    QTRY_VERIFY_WITH_TIMEOUT(ignored(), 20000);
    player.kill();
    player.waitForFinished();
}

void TestHandOff::peersAreHungUpOn_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("silent") << QByteArray() << QByteArray();
    QTest::newRow("half a message") << QByteArray("\x05\x00\x00\x00" "ab", 6) << QByteArray();
    // What follows a message is never kept: the peer is answered and let go.
    QTest::newRow("more than the message") << QByteArray("\x00\x00\x00\x00" "garbage", 11) << QByteArray("K");
}

void TestHandOff::peersAreHungUpOn()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, answer);
    THandOffServer server(HandOff::ChannelName(), [](const QByteArray &) {});
    QVERIFY(server.Listen());
    QLocalSocket peer;
    peer.connectToServer(HandOff::ChannelName());
    QVERIFY(peer.waitForConnected(2000));
    peer.write(sent);
    peer.flush();
    QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QLocalSocket::UnconnectedState, 10000);
    // Keep-alive bytes aside.
    QCOMPARE(peer.readAll().replace('.', QByteArray()), answer);
}

void TestHandOff::channelOutlivesRunningOutOfDescriptors()
{
    QProcess player;
    StartPlayer(player);
    QVERIFY(player.waitForStarted());
    const QString channel = HandOff::ChannelName();
    QTRY_VERIFY_WITH_TIMEOUT(HandOff::SendToRunning(channel, QByteArray()), 20000);
    // Leave the player two descriptors, then hold a hundred connections open.
    const pid_t pid = pid_t(player.processId());
    const int used = int(QDir(QStringLiteral("/proc/%1/fd").arg(pid)).entryList(QDir::Files | QDir::System).size());
    // Only the soft limit moves, so it can be raised again without privileges.
    rlimit before{};
    QCOMPARE(prlimit(pid, RLIMIT_NOFILE, nullptr, &before), 0);
    const rlimit limit{rlim_t(used + 2), before.rlim_max};
    QCOMPARE(prlimit(pid, RLIMIT_NOFILE, &limit, nullptr), 0);
    QList<int> held;
    for (int i = 0; i < 100; ++i)
        if (const int fd = ConnectRaw(channel, true); fd >= 0)
            held << fd;
    // Three are enough to run out; the rest fail once the system has closed the channel.
    QVERIFY(held.size() >= 3);
    QTest::qWait(1500);
    for (int fd : held)
        ::close(fd);
    // Descriptors are plentiful again, as once the crowd has gone; opening the handed-over file
    // must not fail for want of one (an error box would hold the answer back).
    QCOMPARE(prlimit(pid, RLIMIT_NOFILE, &before, nullptr), 0);
    // The next start still reaches the player: its paths are handed over, not opened twice.
    QTRY_VERIFY_WITH_TIMEOUT(HandOff::SendToRunning(channel, HandOff::BuildText({Put("later.pxg")})), 20000);
    QCOMPARE(player.state(), QProcess::Running);
    player.kill();
    player.waitForFinished();
}

void TestHandOff::busyReceiverKeepsTheSenderWaiting()
{
    // Longer than the sender waits for a silent peer: the keep-alive holds it.
    bool handled = false;
    THandOffServer server(HandOff::ChannelName(), [&](const QByteArray &) {
        QTest::qWait(7000);
        handled = true;
    });
    QVERIFY(server.Listen());
    QCOMPARE(RunSecondStart({Put("slow.pxg")}), 0);
    QVERIFY(handled);
}

void TestHandOff::unsafeChannelIsNotUsed_data()
{
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("listenerUid");  // -1: nobody listens
    QTest::addColumn<QString>("why");
    QTest::addColumn<bool>("longPath");
    // The listener holds the channel's lock as an owner would.
    QTest::newRow("another user's listener") << 0700 << 65534 << "слушает другой пользователь (uid 65534)" << false;
    QTest::newRow("folder writable by all") << 0777 << -1 << "могут писать другие пользователи" << false;
    QTest::newRow("no room for the socket's name") << 0700 << -1 << "не слушать канал" << true;
}

void TestHandOff::unsafeChannelIsNotUsed()
{
    QFETCH(int, folderMode);
    QFETCH(int, listenerUid);
    QFETCH(QString, why);
    QFETCH(bool, longPath);
    if (listenerUid != -1 && listenerUid != int(getuid()) && getuid() != 0)
        QSKIP("needs root to listen as another user");
    QTemporaryDir top;
    // A socket's name holds at most 107 bytes.
    const QString path = longPath ? top.filePath(QString(120, QLatin1Char('d'))) : top.path();
    QVERIFY(QDir().mkpath(path));
    QTemporaryDir folder(path + QStringLiteral("/XXXXXX"));
    QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)) == 0);
    const QString channel = folder.filePath(QStringLiteral("setkariy-TMainForm-%1").arg(getuid()));
    // The listener accepts nothing and says nothing; its credentials are those it listened with.
    QProcess listener;
    if (listenerUid != -1) {
        listener.setChildProcessModifier([channel, listenerUid] {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            qstrncpy(addr.sun_path, QFile::encodeName(channel).constData(), sizeof addr.sun_path);
            const int lock = ::open(QFile::encodeName(channel + ".lock").constData(), O_RDWR | O_CREAT, 0600);
            if (lock < 0 || ::flock(lock, LOCK_EX) != 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
                || (uid_t(listenerUid) != getuid() && (setgid(65534) != 0 || setuid(uid_t(listenerUid)) != 0))
                || ::listen(fd, 8) != 0)
                _exit(1);
        });
        listener.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        QVERIFY(listener.waitForStarted());
        QTRY_VERIFY(QFile::exists(channel));
    }
    QProcess player;
    player.setArguments({Put("mine.pxg")});
    StartPlayer(player, folder.path());
    QVERIFY(player.waitForStarted());
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += player.readAllStandardError()).contains(why.toUtf8()), 20000);
    QVERIFY(said.contains(QString("режим одной копии выключен").toUtf8()));
    // It goes on as a first instance of its own.
    QTest::qWait(500);
    QCOMPARE(player.state(), QProcess::Running);
    player.kill();
    player.waitForFinished();
    listener.kill();
    listener.waitForFinished();
}

void TestHandOff::plainFileInTheFolderPlaceIsSaidSo()
{
    // Without a runtime folder the channel lives in one of the user's own in the temporary folder.
    QTemporaryDir temp;
    const QString place = temp.filePath(QStringLiteral("setkariy-%1").arg(getuid()));
    QFile plain(place);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QByteArray runtimeWas = qgetenv("XDG_RUNTIME_DIR"), tempWas = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    QString problem;
    const QString channel = HandOff::ChannelName(&problem);
    qputenv("XDG_RUNTIME_DIR", runtimeWas);
    qputenv("TMPDIR", tempWas);
    QVERIFY(channel.isEmpty());
    QCOMPARE(problem, place + QStringLiteral(" — не папка, а файл"));
}

void TestHandOff::stalledOwnerKeepsItsFiles()
{
    // A start that finds the player stopped (kill -STOP, Ctrl+Z) must neither become a second
    // player nor leave its file to the stopped one: two windows over one game lose one of them.
    QProcess player;
    StartPlayer(player);
    QVERIFY(player.waitForStarted());
    const QString channel = HandOff::ChannelName();
    QTRY_VERIFY_WITH_TIMEOUT(HandOff::SendToRunning(channel, QByteArray()), 20000);
    const QString late = Put("stalled.pxg"), later = Put("woken.pxg");
    QCOMPARE(::kill(pid_t(player.processId()), SIGSTOP), 0);

    QProcess second;
    second.setProgram(QStringLiteral(SETKARIY_EXE));
    second.setArguments({late});
    second.start();
    const bool ended = second.waitForFinished(60000);
    const QByteArray said = second.readAllStandardError();
    second.kill();
    second.waitForFinished();
    ::kill(pid_t(player.processId()), SIGCONT);
    QVERIFY2(ended, "the second start became a player of its own");
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(QString::fromLocal8Bit(said).contains(QStringLiteral("Сеткарий уже запущен, но не отвечает")));

    // Woken, the player serves the next start, and drops the message whose sender gave up.
    QTRY_VERIFY_WITH_TIMEOUT(HandOff::SendToRunning(channel, HandOff::BuildText({later})), 20000);
    QVERIFY(OpenMarks::HeldElsewhere(later));
    QVERIFY(!OpenMarks::HeldElsewhere(late));
    player.kill();
    player.waitForFinished();
}

void TestHandOff::burstOfStartsEndsWithOnePlayer()
{
    // As when a hundred files are opened at once from a file manager, with no player running.
    constexpr int Starts = 100;
    QStringList paths;
    QList<QProcess *> starts;
    for (int i = 0; i < Starts; ++i) {
        paths << Put(QStringLiteral("burst%1.pxg").arg(i));
        auto *start = new QProcess(this);
        start->setProgram(QStringLiteral(SETKARIY_EXE));
        start->setArguments({paths.last()});
        start->setStandardInputFile(QProcess::nullDevice());
        start->setStandardOutputFile(QProcess::nullDevice());
        start->setStandardErrorFile(QProcess::nullDevice());
        starts << start;
    }
    // Whatever fails, no player of this test outlives it to take the next test's hand-offs.
    const auto stopAll = qScopeGuard([&] {
        for (QProcess *start : starts) {
            start->kill();
            start->waitForFinished();
            delete start;
        }
    });
    for (QProcess *start : starts)
        start->start();
    const auto running = [&] {
        return std::count_if(starts.begin(), starts.end(), [](QProcess *p) { return p->state() != QProcess::NotRunning; });
    };
    QTRY_VERIFY_WITH_TIMEOUT(running() <= 1, 120000);
    QCOMPARE(running(), qsizetype(1));
    for (QProcess *start : starts)
        if (start->state() == QProcess::NotRunning)
            QCOMPARE(start->exitCode(), 0);
    // The one player holds every file.
    const auto held = [&] {
        return std::count_if(paths.begin(), paths.end(), [](const QString &p) { return OpenMarks::HeldElsewhere(p); });
    };
    QTRY_COMPARE_WITH_TIMEOUT(held(), qsizetype(Starts), 20000);
}

void TestHandOff::fileOpenInAnotherPlayerIsNotOpenedTwice()
{
    // Two players of one user (one with single-instance off, say) must not both hold a game.
    const QString shared = Put("shared.pxg"), own = Put("own.pxg");
    QProcess player;
    player.setArguments({shared});
    StartPlayer(player);
    QVERIFY(player.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(OpenMarks::HeldElsewhere(shared), 20000);

    TScriptedPrompter prompter;
    TMainForm form;
    form.OpenPuzzleFile(shared);
    form.OpenPuzzleFile(own);
    QCOMPARE(form.Children().size(), 1);
    QCOMPARE(form.Children()[0]->FileName, own);
    QCOMPARE(prompter.Questions.size(), 1);
    QVERIFY(prompter.Questions[0].Text.contains(QStringLiteral("уже открыт в другой копии")));
    QCOMPARE(prompter.Questions[0].Icon, QMessageBox::Warning);
    player.kill();
    player.waitForFinished();
    // The mark goes with the player, however it ended.
    QVERIFY(!OpenMarks::HeldElsewhere(shared));
    form.OpenPuzzleFile(shared);
    QCOMPARE(form.Children().size(), 2);
}

void TestHandOff::fileIsOpenOnce()
{
    // Opened again by another name (from the browser, a second start, a link), a file open in
    // a board window brings that window forward instead of a second one over the same game.
    TScriptedPrompter prompter;
    TMainForm form;
    form.show();
    const QString a = Put("однажды.pxg"), b = Put("other.pxg");
    const QString link = files.filePath("link.pxg");
    QVERIFY(QFile::link(a, link));
    form.OpenPuzzleFile(a);
    form.OpenPuzzleFile(b);
    TMDIChild *first = form.Children()[0];
    for (const QString &again : {a, link, files.path() + QStringLiteral("/./однажды.pxg")}) {
        form.OpenPuzzleFile(b);
        form.OpenPuzzleFile(again);
        QCOMPARE(form.Children().size(), 2);
        QCOMPARE(form.ActiveChild(), first);
    }
    QVERIFY(prompter.Questions.isEmpty());
}

void TestHandOff::saveAsMovesTheMark()
{
    // After Save As the window holds the new file: another player may open the old one, not it.
    TScriptedPrompter prompter;
    TMainForm first, second;
    const QString old = Put("before.pxg");
    first.OpenPuzzleFile(old);
    prompter.SavePaths << files.filePath("after.pxg");
    first.FileSaveAs1Execute();
    QCOMPARE(first.Children()[0]->FileName, files.filePath("after.pxg"));
    second.OpenPuzzleFile(files.filePath("after.pxg"));
    QCOMPARE(second.Children().size(), 0);
    second.OpenPuzzleFile(old);
    QCOMPARE(second.Children().size(), 1);
    // And the first brings its window forward for the new name.
    first.OpenPuzzleFile(files.filePath("after.pxg"));
    QCOMPARE(first.Children().size(), 1);
}

void TestHandOff::manyFilesOnTheCommandLineKeepTheChannelServed()
{
    // Opening a long command line takes seconds; the player answers meanwhile, so a start made
    // then hands its file over instead of finding nobody there.
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << Put(QStringLiteral("many%1.pxg").arg(i));
    const QString channel = HandOff::ChannelName();
    QFile::remove(channel);  // a killed player's leftover
    QProcess player;
    player.setArguments(many);
    StartPlayer(player);
    QVERIFY(player.waitForStarted());
    // Listening comes before the files.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(channel), 20000);
    const QString meanwhile = Put("meanwhile.pxg");
    QCOMPARE(RunSecondStart({meanwhile}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(OpenMarks::HeldElsewhere(many.last()), 120000);
    QVERIFY(OpenMarks::HeldElsewhere(meanwhile));
    player.kill();
    player.waitForFinished();
}

QTEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
