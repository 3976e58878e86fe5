// pxgtool thumbnail, run as a file manager runs it.
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestThumbnail : public QObject {
    Q_OBJECT

private slots:
    void showsTheBoardAsPlayed();
    void refusesWithoutWriting_data();
    void refusesWithoutWriting();

private:
    int Run(const QStringList &args)
    {
        QProcess p;
        p.start(PXGTOOL_EXE, QStringList{"thumbnail"} + args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QString Put(const QString &name, const PuzzleDocument &doc)
    {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(PuzzleFile::Serialize(doc));
        return f.fileName();
    }
    static int DarkPixels(const QImage &image)
    {
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    }
    QTemporaryDir dir;
};

void TestThumbnail::showsTheBoardAsPlayed()
{
    // A wide picture, so the longer side is the one fitted to the size.
    TMyCrossArr picture(4, std::vector<int32_t>(12, 1));
    PuzzleDocument fresh = DocumentFromPicture(picture);
    PuzzleDocument played = fresh;
    played.InProgress = 1;
    played.Marks = played.Solution;
    const QString freshFile = Put("fresh.pxg", fresh), playedFile = Put("played.pxg", played);
    for (int size : {32, 256}) {
        const QString a = dir.filePath(QString("fresh-%1.png").arg(size));
        const QString b = dir.filePath(QString("played-%1.png").arg(size));
        QCOMPARE(Run({freshFile, a, QString::number(size)}), 0);
        QCOMPARE(Run({playedFile, b, QString::number(size)}), 0);
        const QImage blank(a), marked(b);
        QCOMPARE(blank.width(), size);
        QVERIFY(blank.height() < size);
        QCOMPARE(marked.size(), blank.size());
        QVERIFY2(DarkPixels(marked) > DarkPixels(blank) + blank.width() * blank.height() / 25,
                 qPrintable(QString("%1: %2 vs %3").arg(size).arg(DarkPixels(marked)).arg(DarkPixels(blank))));
    }
}

void TestThumbnail::refusesWithoutWriting_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("code");
    QTest::newRow("not a puzzle") << "junk.pxg" << "128" << 1;
    QTest::newRow("no such file") << "missing.pxg" << "128" << 1;
    QTest::newRow("size zero") << "good.pxg" << "0" << 2;
    QTest::newRow("size not a number") << "good.pxg" << "big" << 2;
}

void TestThumbnail::refusesWithoutWriting()
{
    QFETCH(QString, input);
    QFETCH(QString, size);
    QFETCH(int, code);
    Put("good.pxg", DocumentFromPicture(TMyCrossArr(3, std::vector<int32_t>(3, 1))));
    QFile junk(dir.filePath("junk.pxg"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a puzzle at all");
    junk.close();
    const QString out = dir.filePath("out.png");
    QCOMPARE(Run({dir.filePath(input), out, size}), code);
    QVERIFY(!QFile::exists(out));
}

QTEST_GUILESS_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
