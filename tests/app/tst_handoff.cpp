// The hand-off between a later start and the running player, across real processes.
#include "ScriptedPrompter.h"
#include "app/HandOff.h"
#include "app/uMain.h"
#include "board/CHILDWIN.h"
#include "board/Clues.h"
#include "format/PuzzleFile.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

private:
    QString Put(const QString &name);
    int RunSecondStart(const QStringList &arguments);

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
    QTRY_VERIFY(next.bytesAvailable() == 1);
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

QTEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
