// The manual pages and the software-centre entry, as man and AppStream read them.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

struct TRun {
    int Code;
    QString Out;
    QString Err;
};

TRun Run(const QString &program, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MANWIDTH", "80");
    env.insert("LC_ALL", "C.UTF-8");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {-1, {}, "did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString ManPage(const QString &name)
{
    return QStringLiteral(SETKARIY_BUILD_DIR "/man/%1.6.gz").arg(name);
}

} // namespace

class TestDocs : public QObject {
    Q_OBJECT

private slots:
    void manPagesRender_data();
    void manPagesRender();
    void pxgtoolPageNamesEveryCommand();
    void metainfoIsValid();
};

void TestDocs::manPagesRender_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("line");
    QTest::newRow("setkariy name") << "setkariy" << "setkariy - nonogram player (Сеткарий)";
    QTest::newRow("setkariy options") << "setkariy" << "-h, --help";
    QTest::newRow("setkariy library") << "setkariy" << "/usr/share/games/setkariy/Библиотека/";
    QTest::newRow("setkariy version") << "setkariy" << "setkariy " SETKARIY_VERSION;
    QTest::newRow("pxgtool name") << "pxgtool" << "NAME\n       pxgtool  -  inspect";
    QTest::newRow("pxgtool help") << "pxgtool" << "pxgtool help [COMMAND]";
    QTest::newRow("pxgtool exit") << "pxgtool" << "2 on\n       a usage error.";
}

void TestDocs::manPagesRender()
{
    QFETCH(QString, page);
    QFETCH(QString, line);
    if (QStandardPaths::findExecutable("man").isEmpty())
        QSKIP("man is not installed (scripts/setup installs man-db)");
    const TRun run = Run("man", {"--warnings", "-l", ManPage(page)});
    QCOMPARE(run.Code, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    QVERIFY2(run.Out.contains(line), qPrintable(run.Out));
}

void TestDocs::pxgtoolPageNamesEveryCommand()
{
    if (QStandardPaths::findExecutable("man").isEmpty())
        QSKIP("man is not installed (scripts/setup installs man-db)");
    const QString page = Run("man", {"-l", ManPage("pxgtool")}).Out;
    QProcess tool;
    tool.start(PXGTOOL_EXE, {"--help"});
    QVERIFY(tool.waitForFinished(20000));
    const QString usage = QString::fromUtf8(tool.readAllStandardOutput());
    const QRegularExpression command(QStringLiteral("pxgtool (\\w+)"));
    int commands = 0;
    for (const QRegularExpressionMatch &m : command.globalMatch(usage)) {
        ++commands;
        QVERIFY2(page.contains(QStringLiteral("\n       ") + m.captured(1) + QLatin1Char(' ')),
                 qPrintable(m.captured(1) + " is not in pxgtool(6)"));
    }
    QVERIFY(commands >= 7);
}

void TestDocs::metainfoIsValid()
{
    if (QStandardPaths::findExecutable("appstreamcli").isEmpty())
        QSKIP("appstreamcli is not installed (scripts/setup installs appstream)");
    const QStringList files = QDir(SETKARIY_SOURCE_DIR "/data").entryList({"*.metainfo.xml"});
    QCOMPARE(files.size(), 1);
    // Pedantic, and nothing said at all: an info or pedantic remark is mended, not tolerated.
    const TRun run = Run("appstreamcli", {"validate", "--no-net", "--pedantic", SETKARIY_SOURCE_DIR "/data/" + files[0]});
    QVERIFY2(run.Code == 0, qPrintable(run.Out + run.Err));
    QVERIFY2(!QRegularExpression("^[EWIP]: ", QRegularExpression::MultilineOption).match(run.Out + run.Err).hasMatch(),
             qPrintable(run.Out + run.Err));
}

QTEST_MAIN(TestDocs)
#include "tst_docs.moc"
