// The check, import and export commands of pxgtool, run as a player would run them.
#include "PxgtoolRun.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "core/Difficulty.h"
#include "tools/Importers.h"
#include "tools/TextArt.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString LibraryFolder()
{
    return QStringLiteral(SETKARIY_BIN_DIR "/Библиотека");
}

QString LibraryFile(const QString &name)
{
    return LibraryFolder() + QLatin1Char('/') + name;
}

QString DataPath(const QString &name)
{
    return QStringLiteral(SETKARIY_SOURCE_DIR "/tests/tools/data/") + name;
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The designer's digit of a library stem; a crown counts as 6.
int DesignerLevel(const QString &stem)
{
    const QChar last = stem.back();
    return last.isDigit() ? std::min(last.digitValue(), 6) : 6;
}

int TextLevel(const QString &text)
{
    return text == QStringLiteral("Корона") ? 6 : text.toInt();
}

TSolveResult Solve(const TMyCrossArr &picture)
{
    return SolveClues(RowClues(picture), ColumnClues(picture));
}

// The digit the estimate gives a puzzle, worked out here the way the tool should.
QString DigitOf(const TMyCrossArr &picture)
{
    return QString::number(EstimateDifficulty(Solve(picture), int32_t(picture.size()), int32_t(picture[0].size())));
}

QString DigitOfImport(const QString &source)
{
    return DigitOf(ImportFile(source).Picture);
}

QString DigitOfPuzzle(const QString &path)
{
    return DigitOf(PuzzleFile::ReadFile(path).Solution);
}

} // namespace

class TestCheck : public QObject {
    Q_OBJECT

private slots:
    void ChecksTheLibrary();
    void CheckIsDeterministic();
    void ChecksAmbiguousAndBrokenFiles();
    void QuickCheckSaysWhatTheFullToolSays();
    void RenamesByEstimate();
    void RenameNeverOverwrites();
    void EstimateFollowsEffort();
    void ImportsOneFile();
    void ImportsIntoFolder();
    void ImportsUndecidedWithWarning();
    void ExportsNonText();
};

void TestCheck::ChecksTheLibrary()
{
    const QDir library(LibraryFolder());
    const QStringList names = library.entryList({QStringLiteral("*.pxg")}, QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 15);
    QStringList paths;
    for (const QString &name : names)
        paths << library.filePath(name);
    const TRun run = Pxgtool(QStringList{QStringLiteral("check")} + paths);
    QCOMPARE(run.Code, 0);
    QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
    const QStringList lines = run.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), paths.size());

    int agreeing = 0;
    QStringList report;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields[0], paths[i]);
        QCOMPARE(fields[1], QStringLiteral("unique"));
        QCOMPARE(fields[2], QStringLiteral("line-solvable"));
        static const QRegularExpression estimate(QStringLiteral("^([0-5]|Корона)$"));
        QVERIFY2(estimate.match(fields[3]).hasMatch(), qPrintable(fields[3]));
        const QString stem = QFileInfo(paths[i]).completeBaseName();
        const int designer = DesignerLevel(stem);
        const int estimated = TextLevel(fields[3]);
        if (std::abs(designer - estimated) <= 1)
            ++agreeing;
        report << QStringLiteral("%1 %2").arg(stem, fields[3]);
    }
    qInfo("estimates: %s", qPrintable(report.join(QStringLiteral(", "))));
    qInfo("%d of %d within one of the designer's digit", agreeing, int(lines.size()));
    // The estimate is tuned on this library; most of it must stay within one level.
    QVERIFY2(agreeing * 5 >= lines.size() * 4, qPrintable(QString::number(agreeing)));
}

void TestCheck::CheckIsDeterministic()
{
    const QStringList args = {QStringLiteral("check"), LibraryFile(QStringLiteral("Сова4.pxg")),
                              LibraryFile(QStringLiteral("Город.pxg")), LibraryFile(QStringLiteral("Якорь2.pxg"))};
    const TRun first = Pxgtool(args);
    const TRun second = Pxgtool(args);
    QCOMPARE(first.Code, 0);
    QCOMPARE(second.Out, first.Out);
    QCOMPARE(first.Out.count(QLatin1Char('\n')), 3);

    // The same solver result and size give the same level, however often it is asked.
    const PuzzleDocument doc = PuzzleFile::ReadFile(LibraryFile(QStringLiteral("Сова4.pxg")));
    const TSolveResult result = Solve(doc.Solution);
    const int32_t level = EstimateDifficulty(result, doc.RowCount, doc.ColCount);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(EstimateDifficulty(Solve(doc.Solution), doc.RowCount, doc.ColCount), level);
}

void TestCheck::ChecksAmbiguousAndBrokenFiles()
{
    QTemporaryDir dir;
    const QString either = dir.filePath(QStringLiteral("either.pxg"));
    PuzzleFile::SaveFile(either, DocumentFromPicture({{1, 0}, {0, 1}}), PuzzleFile::Target::ChosenPath);
    const QString broken = dir.filePath(QStringLiteral("broken.pxg"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a puzzle");
    file.close();
    const QString fine = LibraryFile(QStringLiteral("Домик0.pxg"));

    const TRun run = Pxgtool({QStringLiteral("check"), either, broken, fine});
    QCOMPARE(run.Code, 1);
    QVERIFY2(run.Out.contains(either + QStringLiteral("\tambiguous\tneeds-search\t")), qPrintable(run.Out));
    QVERIFY2(run.Out.contains(fine + QStringLiteral("\tunique\tline-solvable\t") + DigitOfPuzzle(fine) + '\n'),
             qPrintable(run.Out));
    QVERIFY(!run.Out.contains(broken));
    QVERIFY(run.Err.contains(broken + QStringLiteral(": ")));
    QVERIFY(Pxgtool({QStringLiteral("check")}).Code != 0);
}

// pxgtool answers a check of plain files without Qt and hands the rest to pxgtool-full: either
// way the words, the streams and the exit code are the full tool's.
void TestCheck::QuickCheckSaysWhatTheFullToolSays()
{
    QTemporaryDir dir;
    const QString either = dir.filePath(QStringLiteral("либо.pxg"));
    PuzzleFile::SaveFile(either, DocumentFromPicture({{1, 0}, {0, 1}}), PuzzleFile::Target::ChosenPath);
    const QString search = dir.filePath(QStringLiteral("search.pxg"));
    PuzzleFile::SaveFile(search, DocumentFromPicture(ParseTextArt(QStringLiteral(".###.\n.###.\n.###.\n#...#\n#...#\n"))),
                         PuzzleFile::Target::ChosenPath);
    // A cell of 2 is neither ink nor paper; a game in progress cut after its picture.
    QByteArray bytes = Bytes(either);
    const QString odd = dir.filePath(QStringLiteral("odd.pxg"));
    bytes[PuzzleFile::HeaderSize] = 2;
    QFile oddFile(odd);
    QVERIFY(oddFile.open(QIODevice::WriteOnly) && oddFile.write(bytes) == bytes.size());
    oddFile.close();
    bytes = Bytes(either);
    bytes[0] = 1;
    const QString cut = dir.filePath(QStringLiteral("cut.pxg"));
    QFile cutFile(cut);
    QVERIFY(cutFile.open(QIODevice::WriteOnly) && cutFile.write(bytes.left(PuzzleFile::HeaderSize + 16)) == 16 + PuzzleFile::HeaderSize);
    cutFile.close();
    const QString fine = LibraryFile(QStringLiteral("Домик0.pxg"));

    const QList<QStringList> cases = {
        {"check", fine, either, search},
        {"check", "--work-budget", "50", search, fine},
        {"check", "--work-budget", "0", fine},
        {"check", "--work-budget"},
        {"check", fine, odd},
        {"check", cut},
        {"check", dir.path()},
        {"check", dir.filePath(QStringLiteral("none.pxg"))},
    };
    auto run = [](const QString &exe, const QStringList &args) {
        QProcess p;
        p.start(exe, args);
        p.waitForFinished(60000);
        return QStringList{QString::number(p.exitCode()), QString::fromUtf8(p.readAllStandardOutput()),
                           QString::fromUtf8(p.readAllStandardError())};
    };
    for (const QStringList &args : cases) {
        const QStringList quick = run(QStringLiteral(PXGTOOL_EXE), args);
        QCOMPARE(quick, run(QStringLiteral(PXGTOOL_FULL_EXE), args));
        QVERIFY(!quick[1].isEmpty() || !quick[2].isEmpty());
    }
}

void TestCheck::RenamesByEstimate()
{
    QTemporaryDir dir;
    struct TCopy {
        QString Source;
        QString Name;
        QString Renamed;
    };
    const QString cat = DigitOfPuzzle(LibraryFile(QStringLiteral("Кот1.pxg")));
    const QString heart = DigitOfPuzzle(LibraryFile(QStringLiteral("Сердце0.pxg")));
    const QString house = DigitOfPuzzle(LibraryFile(QStringLiteral("Домик0.pxg")));
    const QString boat = DigitOfPuzzle(LibraryFile(QStringLiteral("Лодка3.pxg")));
    const QString wrong = cat == QStringLiteral("9") ? QStringLiteral("8") : QStringLiteral("9");
    const TCopy copies[] = {
        {"Кот1.pxg", "Кот" + wrong + ".pxg", "Кот" + cat + ".pxg"},  // a wrong digit is replaced
        {"Сердце0.pxg", "Сердце.pxg", "Сердце" + heart + ".pxg"},    // a missing one is added
        {"Домик0.pxg", "Домик" + house + ".pxg", "Домик" + house + ".pxg"}, // a right one stays
        {"Лодка3.pxg", "boat 2024.pxg", "boat 202" + boat + ".pxg"}, // only the last digit counts
    };
    QStringList args = {QStringLiteral("check"), QStringLiteral("--rename")};
    for (const TCopy &copy : copies) {
        QVERIFY(QFile::copy(LibraryFile(copy.Source), dir.filePath(copy.Name)));
        args << dir.filePath(copy.Name);
    }
    const QString crown = dir.filePath(QStringLiteral("Город.pxg"));
    QVERIFY(QFile::copy(LibraryFile(QStringLiteral("Город.pxg")), crown));
    args << crown;

    const TRun run = Pxgtool(args);
    QCOMPARE(run.Code, 0);
    for (const TCopy &copy : copies) {
        QVERIFY2(QFileInfo::exists(dir.filePath(copy.Renamed)), qPrintable(copy.Renamed));
        QCOMPARE(Bytes(dir.filePath(copy.Renamed)), Bytes(LibraryFile(copy.Source)));
        const QString arrow = QStringLiteral("\t-> ") + dir.filePath(copy.Renamed);
        if (copy.Renamed == copy.Name) {
            QVERIFY2(!run.Out.contains(arrow), qPrintable(run.Out));
        } else {
            QVERIFY(!QFileInfo::exists(dir.filePath(copy.Name)));
            QVERIFY2(run.Out.contains(arrow), qPrintable(run.Out));
        }
    }
    // A crown puzzle gets a digit above 5, by how far above 5 it is.
    QVERIFY(run.Out.contains(crown + QStringLiteral("\tunique\tline-solvable\tКорона")));
    const QStringList crowns = QDir(dir.path()).entryList({QStringLiteral("Город?.pxg")});
    QCOMPARE(crowns.size(), 1);
    const int digit = crowns[0].at(5).digitValue();
    QVERIFY2(digit >= 6 && digit <= 9, qPrintable(crowns[0]));
}

void TestCheck::RenameNeverOverwrites()
{
    QTemporaryDir dir;
    const QString moving = dir.filePath(QStringLiteral("Кот.pxg"));
    const QString standing = dir.filePath(QStringLiteral("Кот1.pxg"));
    QVERIFY(QFile::copy(LibraryFile(QStringLiteral("Кот1.pxg")), moving));
    QVERIFY(QFile::copy(LibraryFile(QStringLiteral("Сердце0.pxg")), standing));
    const TRun run = Pxgtool({QStringLiteral("check"), QStringLiteral("--rename"), moving});
    QCOMPARE(run.Code, 1);
    QVERIFY2(run.Err.contains(QStringLiteral("not renamed")) && run.Err.contains(standing), qPrintable(run.Err));
    QCOMPARE(Bytes(moving), Bytes(LibraryFile(QStringLiteral("Кот1.pxg"))));
    QCOMPARE(Bytes(standing), Bytes(LibraryFile(QStringLiteral("Сердце0.pxg"))));
}

void TestCheck::EstimateFollowsEffort()
{
    TSolveResult result;
    result.Status = TSolveResult::Status::Unique;
    result.LineSolvable = true;
    // More work per cell, or more cells, never makes a puzzle easier.
    int32_t last = 0;
    for (int64_t work : {100, 1'000, 10'000, 100'000, 1'000'000}) {
        result.Work = work;
        const int32_t level = EstimateDifficulty(result, 30, 30);
        QVERIFY(level >= last);
        last = level;
    }
    result.Work = 5'000;
    QVERIFY(EstimateDifficulty(result, 10, 10) <= EstimateDifficulty(result, 40, 40));
    // Needing search makes it harder, and more guesses harder still.
    TSolveResult searched = result;
    searched.LineSolvable = false;
    searched.Guesses = 2;
    QVERIFY(EstimateDifficulty(searched, 20, 20) > EstimateDifficulty(result, 20, 20));
    TSolveResult more = searched;
    more.Guesses = 512;
    QVERIFY(EstimateDifficulty(more, 20, 20) > EstimateDifficulty(searched, 20, 20));
    // A puzzle the solver gave up on is as hard as it gets; the smallest is the easiest.
    TSolveResult gaveUp;
    gaveUp.Status = TSolveResult::Status::GaveUp;
    QCOMPARE(EstimateDifficulty(gaveUp, 25, 25), MaxDifficulty);
    result.Work = 1;
    QCOMPARE(EstimateDifficulty(result, 1, 1), 0);
    QCOMPARE(DifficultyText(3), QStringLiteral("3"));
    QCOMPARE(DifficultyText(CrownDifficulty), QStringLiteral("Корона"));
    QCOMPARE(DifficultyText(MaxDifficulty), QStringLiteral("Корона"));
}

void TestCheck::ImportsOneFile()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("mug.pxg"));
    const TRun run = Pxgtool({QStringLiteral("import"), DataPath(QStringLiteral("mug.non")), target});
    QCOMPARE(run.Code, 0);
    const PuzzleDocument doc = PuzzleFile::ReadFile(target);
    const TMyCrossArr mug = ParseTextArt(QStringLiteral(".#.#...\n.#.#...\n#####..\n#####.#\n#####.#\n#####.#\n######.\n.###...\n"));
    QVERIFY(doc == DocumentFromPicture(mug));
    QVERIFY2(run.Out.contains(QStringLiteral(" -> ") + target), qPrintable(run.Out));

    // An existing file is never replaced.
    const QByteArray before = Bytes(target);
    const TRun again = Pxgtool({QStringLiteral("import"), DataPath(QStringLiteral("arrow.txt")), target});
    QCOMPARE(again.Code, 1);
    QVERIFY(again.Err.contains(QStringLiteral("already exists")));
    QCOMPARE(Bytes(target), before);

    const TRun refused = Pxgtool({QStringLiteral("import"), DataPath(QStringLiteral("block-unsolvable.non")),
                                  dir.filePath(QStringLiteral("none.pxg"))});
    QCOMPARE(refused.Code, 1);
    QVERIFY2(refused.Err.contains(QStringLiteral("no solution (unsolvable)")), qPrintable(refused.Err));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("none.pxg"))));
    QVERIFY(Pxgtool({QStringLiteral("import"), DataPath(QStringLiteral("mug.non"))}).Code != 0);
}

void TestCheck::ImportsIntoFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("imported"));
    const QString numbered = dir.filePath(QStringLiteral("numbered.non"));
    QFile file(numbered);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("title \"Puzzle 12\"\nwidth 2\nheight 1\ngoal 10\n");
    file.close();
    const QString designed = dir.filePath(QStringLiteral("Стрелка9.txt"));
    QVERIFY(QFile::copy(DataPath(QStringLiteral("arrow.txt")), designed));

    const TRun run = Pxgtool({QStringLiteral("import"), QStringLiteral("--into"), folder,
                              DataPath(QStringLiteral("mug.non")), DataPath(QStringLiteral("mug.non")),
                              DataPath(QStringLiteral("pair-ambiguous.non")), DataPath(QStringLiteral("boat.pbm")),
                              numbered, designed, DataPath(QStringLiteral("coloured.xml"))});
    QCOMPARE(run.Code, 1);
    QVERIFY2(run.Err.contains(QStringLiteral("pair-ambiguous.non: The puzzle has more than one solution (ambiguous)")),
             qPrintable(run.Err));
    QVERIFY2(run.Err.contains(QStringLiteral("coloured.xml: Line 10: coloured puzzles are not supported")),
             qPrintable(run.Err));

    // Every name ends in the estimated digit; titles name files before stems do.
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    const QString mug = DigitOfImport(DataPath(QStringLiteral("mug.non")));
    const QStringList expected = {
        QStringLiteral("Mug (Сеткарий tests) (2) ") + mug + QStringLiteral(".pxg"),
        QStringLiteral("Mug (Сеткарий tests)") + mug + QStringLiteral(".pxg"),
        QStringLiteral("Puzzle 12 ") + DigitOfImport(numbered) + QStringLiteral(".pxg"),
        QStringLiteral("boat") + DigitOfImport(DataPath(QStringLiteral("boat.pbm"))) + QStringLiteral(".pxg"),
        QStringLiteral("Стрелка") + DigitOfImport(designed) + QStringLiteral(".pxg"),
    };
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    QStringList sortedNames = names;
    sortedNames.sort();
    QCOMPARE(sortedNames, sortedExpected);
    for (const QString &name : names)
        QVERIFY(run.Out.contains(QDir(folder).filePath(name)));
    QCOMPARE(PuzzleFile::ReadFile(QDir(folder).filePath(expected[3])).Solution,
             ImportFile(DataPath(QStringLiteral("boat.pbm"))).Picture);
}

void TestCheck::ImportsUndecidedWithWarning()
{
    // The face needs search; a budget of a few operations cannot settle it.
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("face.txt"));
    QFile file(picture);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("..#####..\n.#.....#.\n#..#.#..#\n#.......#\n#.#...#.#\n.#.###.#.\n..#####..\n");
    file.close();
    const QString target = dir.filePath(QStringLiteral("face.pxg"));
    const TRun run = Pxgtool({QStringLiteral("import"), QStringLiteral("--work-budget"), QStringLiteral("50"), picture, target});
    QCOMPARE(run.Code, 0);
    QVERIFY2(run.Err.contains(QStringLiteral("warning:")) && run.Err.contains(QStringLiteral("undecided")),
             qPrintable(run.Err));
    QVERIFY(QFileInfo::exists(target));
    const TRun check = Pxgtool({QStringLiteral("check"), QStringLiteral("--work-budget"), QStringLiteral("50"), target});
    QVERIFY2(check.Out.contains(QRegularExpression(QStringLiteral("\tundecided after \\d+ cell operations\t"))),
             qPrintable(check.Out));
    // The clues alone prove nothing, so they are still refused.
    const TRun clues = Pxgtool({QStringLiteral("import"), QStringLiteral("--work-budget"), QStringLiteral("50"),
                                DataPath(QStringLiteral("face-clues.non")), dir.filePath(QStringLiteral("clues.pxg"))});
    QCOMPARE(clues.Code, 1);
    QVERIFY2(clues.Err.contains(QStringLiteral("gave up")), qPrintable(clues.Err));
}

void TestCheck::ExportsNonText()
{
    QTemporaryDir dir;
    const QString source = LibraryFile(QStringLiteral("Кот1.pxg"));
    const QString text = dir.filePath(QStringLiteral("cat.non"));
    QCOMPARE(Pxgtool({QStringLiteral("export"), source, text}).Code, 0);
    const QString written = QString::fromUtf8(Bytes(text));
    QVERIFY2(written.startsWith(QStringLiteral("title \"Кот\"\nwidth 10\nheight 10\n")), qPrintable(written));
    QVERIFY(written.contains(QStringLiteral("\nrows\n")));
    QVERIFY(written.contains(QStringLiteral("\ncolumns\n")));
    QVERIFY(written.contains(QStringLiteral("\ngoal \"")));

    // Back in, it is the same puzzle, named after the title with the estimated digit.
    const QString folder = dir.filePath(QStringLiteral("back"));
    QCOMPARE(Pxgtool({QStringLiteral("import"), QStringLiteral("--into"), folder, text}).Code, 0);
    const PuzzleDocument original = PuzzleFile::ReadFile(source);
    QCOMPARE(PuzzleFile::ReadFile(folder + QStringLiteral("/Кот") + DigitOfPuzzle(source) + QStringLiteral(".pxg")),
             original);

    const QByteArray before = Bytes(text);
    const TRun again = Pxgtool({QStringLiteral("export"), source, text});
    QCOMPARE(again.Code, 1);
    QVERIFY(again.Err.contains(QStringLiteral("already exists")));
    QCOMPARE(Bytes(text), before);
    QVERIFY(Pxgtool({QStringLiteral("export"), DataPath(QStringLiteral("mug.non")), dir.filePath("x.non")}).Code != 0);
}

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
