// The player's command line: which words are options, and help without a display.
#include "app/CommandLine.h"

#include <QDir>
#include <QProcess>
#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void parsing_data();
    void parsing();
    void handedPathsComeBackAsGiven_data();
    void handedPathsComeBackAsGiven();
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
};

void TestCommandLine::parsing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<QStringList>("paths");
    QTest::newRow("paths") << QStringList{"a.pxg", "b c.pxg"} << false << false << QStringList{"a.pxg", "b c.pxg"};
    QTest::newRow("--help") << QStringList{"a.pxg", "--help"} << true << false << QStringList{"a.pxg"};
    QTest::newRow("-h") << QStringList{"-h"} << true << false << QStringList{};
    QTest::newRow("--version") << QStringList{"--version"} << false << true << QStringList{};
    QTest::newRow("-v") << QStringList{"-v"} << false << true << QStringList{};
    QTest::newRow("dash file") << QStringList{"-x.pxg"} << false << false << QStringList{"-x.pxg"};
    QTest::newRow("near misses") << QStringList{"--helpme", "-hv", "-help", "---version"} << false << false
                                 << QStringList{"--helpme", "-hv", "-help", "---version"};
    QTest::newRow("Qt's words") << QStringList{"-display", "b.pxg"} << false << false
                                << QStringList{"-display", "b.pxg"};
    QTest::newRow("after --") << QStringList{"a", "--", "--help", "--", "-v"} << false << false
                              << QStringList{"a", "--help", "--", "-v"};
}

void TestCommandLine::parsing()
{
    QFETCH(QStringList, arguments);
    const TStartArguments start = ParseStartArguments(arguments);
    QTEST(start.Help, "help");
    QTEST(start.Version, "version");
    QTEST(start.Paths, "paths");
}

void TestCommandLine::handedPathsComeBackAsGiven_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("names");
    QTest::newRow("relative") << "a.pxg" << "/home/u" << "/home/u/a.pxg";
    QTest::newRow("up and down") << "../x/a.pxg" << "/home/u/" << "/home/x/a.pxg";
    QTest::newRow("dot first") << "./a.pxg" << "/home/u" << "/home/u/a.pxg";
    QTest::newRow("from the root") << "a.pxg" << "/" << "/a.pxg";
    QTest::newRow("absolute") << "/p/a.pxg" << "/home/u" << "/p/a.pxg";
    QTest::newRow("absolute with a dot") << "/p/./a.pxg" << "/home/u" << "/p/a.pxg";
    QTest::newRow("empty") << "" << "/home/u" << "";
}

void TestCommandLine::handedPathsComeBackAsGiven()
{
    QFETCH(QString, given);
    QFETCH(QString, folder);
    QFETCH(QString, names);
    const QString handed = HandedPath(given, folder);
    QCOMPARE(GivenPath(handed), given);
    QVERIFY(handed.isEmpty() || QDir::isAbsolutePath(handed));
    QCOMPARE(QDir::cleanPath(handed), names);
}

void TestCommandLine::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help") << "--help" << "-h, --help";
    QTest::newRow("help text is Russian") << "-h" << "Показать эту справку и выйти.";
    QTest::newRow("version") << "--version" << "setkariy " SETKARIY_VERSION "\n";
}

void TestCommandLine::answersWithoutADisplay()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    // With the X11 platform and no display, a window system would end the program at once.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(SETKARIY_EXE, {option});
    QVERIFY(p.waitForFinished(20000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(out.contains(expected), qPrintable(out));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
