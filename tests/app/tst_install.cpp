// The installed tree: everything the player needs, and a desktop that knows puzzle files.
#include "app/uMain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

struct TRun {
    int Code;
    QString Out;
};

TRun Run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {-1, "did not finish"};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void treeHoldsWhatThePlayerNeeds();
    void playerFindsItsData();
    void desktopFilesAreValid();
    void puzzleFilesGetTheirType();
    void installedToolsRun();

private:
    QTemporaryDir prefix;
    QString share;
};

void TestInstall::initTestCase()
{
    const TRun install = Run("cmake", {"--install", SETKARIY_BUILD_DIR, "--prefix", prefix.path()});
    QVERIFY2(install.Code == 0, qPrintable(install.Out));
    share = prefix.filePath("share");
}

void TestInstall::treeHoldsWhatThePlayerNeeds()
{
    const QDir data(share + "/games/setkariy");
    for (const char *name : {"Background.jpg", "sound.wav", "Библиотека/sound.wav"})
        QVERIFY2(QFile::exists(data.filePath(QString::fromUtf8(name))), name);
    QVERIFY(QDir(data.filePath("Библиотека")).entryList({"*.pxg"}).size() >= 15);
    for (const char *command : {"games/setkariy", "games/pxgtool"})
        QVERIFY2(QFileInfo(prefix.filePath(command)).isExecutable(), command);
    QVERIFY(QFile::exists(share + "/applications/setkariy.desktop"));
    QVERIFY(QFile::exists(share + "/mime/packages/setkariy.xml"));
    QVERIFY(QFile::exists(share + "/icons/hicolor/scalable/apps/setkariy.svg"));
    for (const char *name : {"icons/hicolor/16x16/apps/setkariy.png", "icons/hicolor/256x256/apps/setkariy.png",
                             "man/man6/setkariy.6.gz", "man/man6/pxgtool.6.gz", "thumbnailers/setkariy.thumbnailer"})
        QVERIFY2(QFile::exists(share + "/" + name), name);
    QCOMPARE(QDir(share + "/metainfo").entryList({"*.metainfo.xml"}).size(), 1);
}

void TestInstall::playerFindsItsData()
{
    // Installed, the player is in games/ and its data in share/games/setkariy/.
    QCOMPARE(TMainForm::DataFolderFor(prefix.filePath("games") + "/"),
             QFileInfo(share + "/games/setkariy").canonicalFilePath() + "/");
    // In the build tree everything is beside it, even with an installed copy next door.
    QTemporaryDir tree;
    QVERIFY(QDir(tree.path()).mkpath("bin/Библиотека") && QDir(tree.path()).mkpath("share/games/setkariy")
            && QDir(tree.path()).mkpath("lonely/bin"));
    QCOMPARE(TMainForm::DataFolderFor(tree.filePath("bin") + "/"), tree.filePath("bin") + "/");
    // Neither: beside it, as before, so a missing file is reported where it was looked for.
    QCOMPARE(TMainForm::DataFolderFor(tree.filePath("lonely/bin") + "/"), tree.filePath("lonely/bin") + "/");
}

void TestInstall::desktopFilesAreValid()
{
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty()
        || QStandardPaths::findExecutable("xmllint").isEmpty())
        QSKIP("desktop-file-validate or xmllint is not installed (scripts/setup installs them)");
    const TRun desktop = Run("desktop-file-validate", {share + "/applications/setkariy.desktop"});
    QVERIFY2(desktop.Code == 0 && desktop.Out.trimmed().isEmpty(), qPrintable(desktop.Out));
    const TRun xml = Run("xmllint", {"--noout", share + "/mime/packages/setkariy.xml"});
    QVERIFY2(xml.Code == 0, qPrintable(xml.Out));
    QFile entry(share + "/applications/setkariy.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    QVERIFY(text.contains("\nName=Сеткарий\n"));
    QVERIFY(text.contains("Categories=Game;LogicGame;"));
    QVERIFY(text.contains("MimeType=application/x-setkariy-puzzle;"));
    QVERIFY(text.contains("Exec=setkariy %F"));
}

void TestInstall::puzzleFilesGetTheirType()
{
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        QSKIP("update-mime-database is not installed (scripts/setup installs it)");
    const TRun update = Run("update-mime-database", {share + "/mime"});
    QVERIFY2(update.Code == 0, qPrintable(update.Out));
    QFile globs(share + "/mime/globs2");
    QVERIFY(globs.open(QIODevice::ReadOnly));
    QVERIFY(globs.readAll().contains("application/x-setkariy-puzzle:*.pxg"));
}

void TestInstall::installedToolsRun()
{
    const QString puzzle = QDir(share + "/games/setkariy/Библиотека").entryInfoList({"*.pxg"}).first().filePath();
    const TRun info = Run(prefix.filePath("games/pxgtool"), {"info", puzzle});
    QVERIFY2(info.Code == 0 && info.Out.contains("started     no"), qPrintable(info.Out));

    // The installed player starts, finds its files in share/, and hands a second start over.
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(prefix.filePath("games/setkariy"), {puzzle});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(runtime.path() + "/setkariy-TMainForm-" + QString::number(getuid())), 20000);
    const TRun second = Run(prefix.filePath("games/setkariy"), {puzzle}, env);
    QCOMPARE(second.Code, 0);
    QVERIFY(first.state() == QProcess::Running);
    first.kill();
    first.waitForFinished();
}

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
