// pxgtool: inspect, reset, check, build, import and export puzzle files from the command line.
#include "core/BoardRender.h"
#include "core/Clues.h"
#include "format/PuzzleFile.h"
#include "core/Difficulty.h"
#include "core/Generator.h"
#include "tools/Importers.h"
#include "tools/PrintBooklet.h"
#include "core/LineSolver.h"
#include "tools/TextArt.h"
#include "tools/Thumbnail.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

// As for the player's printed page: beyond this a picture takes hundreds of megabytes.
constexpr qint64 MaxPicturePixels = 100'000'000;

int Usage(QTextStream &to = err)
{
    to << "usage: pxgtool info FILE...\n"
           "       pxgtool reset FILE...\n"
           "       pxgtool compile PICTURE.txt OUT.pxg\n"
           "       pxgtool render FILE OUT.png [--cell N]\n"
           "       pxgtool thumbnail IN OUT.png SIZE\n"
           "       pxgtool import [--work-budget N] IN OUT.pxg\n"
           "       pxgtool import [--work-budget N] --into FOLDER IN...\n"
           "       pxgtool export IN.pxg OUT.non\n"
           "       pxgtool check [--rename] [--work-budget N] FILE...\n"
           "       pxgtool generate --into FOLDER --count N --size WxH --level L [--seed S]\n"
           "                        [--kind any|figure|ornament|blobs] [--time SECONDS]\n"
           "       pxgtool print --pdf OUT.pdf [--solutions] [--cell MM] [--per-page N] FILE...\n"
           "\n"
           "info     prints each puzzle's header, its form, progress and whether its marks solve it\n"
           "reset    clears a game as the player's Clear does and writes the full form\n"
           "compile  turns a text-art picture ('#' black, '.' white) into a fresh puzzle\n"
           "render   draws the board as it prints (cell N pixels, 15 by default) into a PNG\n"
           "thumbnail draws the board as played into a PNG of SIZE pixels at most, for file managers\n"
           "import   reads a .non, webpbn XML, text-art, PBM or PNG puzzle into a fresh puzzle;\n"
           "         --into names each file after its title or input, with the estimated difficulty;\n"
           "         a puzzle the solver cannot decide within N cell operations (by default about\n"
           "         2 s of work) is imported with a warning, or refused when it has no picture\n"
           "export   writes a puzzle's picture and clues as .non text\n"
           "check    solves each puzzle from its clues: unique/ambiguous/unsolvable, line-solvable or\n"
           "         needs-search, and the estimated difficulty; --rename puts it in the file name;\n"
           "         past N cell operations of search (by default about 2 s of work) it says\n"
           "         undecided and how much work it spent\n"
           "generate makes N new puzzles of level L (0-9), each with one solution, named as import\n"
           "         --into names them; the same seed and kind make the same puzzles; a level the\n"
           "         size cannot reach is refused with the levels it can; it stops after --time\n"
           "         seconds (60 by default)\n"
           "print    writes the puzzles blank to an A4 PDF for pen and paper, N a page (4 by default;\n"
           "         a puzzle too big to share a page gets one of its own), each whole and as large\n"
           "         as its place allows up to 6 mm a cell or the --cell size; --solutions adds\n"
           "         the solved pictures on the pages after them\n";
    return 2;
}

// The time of day the player's clock label shows, then the whole days it leaves out; computed
// in doubles as the label does, so no stored time can overflow.
QString PlayTime(double days)
{
    double seconds = std::round(days * 86400.0);
    if (!std::isfinite(seconds))
        seconds = 0;
    const double wholeDays = std::floor(seconds / 86400.0);
    const int ofDay = int(std::fmod(seconds, 86400.0));
    QString text = QStringLiteral("%1:%2:%3")
                       .arg(ofDay / 3600)
                       .arg(ofDay / 60 % 60, 2, 10, QLatin1Char('0'))
                       .arg(ofDay % 60, 2, 10, QLatin1Char('0'));
    if (wholeDays >= 1)
        text += QStringLiteral(" (+%1 d)").arg(QString::number(wholeDays, 'g', 12));
    return text;
}

int Info(const QStringList &files)
{
    int status = 0;
    for (const QString &path : files) {
        try {
            const PuzzleDocument doc = PuzzleFile::ReadFile(path);
            PuzzleFile::Header h{doc.InProgress, doc.ElapsedTime, doc.ColCount, doc.RowCount, doc.RowClueDepth,
                                 doc.ColClueDepth};
            const qint64 size = QFileInfo(path).size();
            out << path << ":\n"
                << "  size        " << doc.ColCount << "x" << doc.RowCount << " (columns x rows)\n"
                << "  clue depth  rows " << doc.RowClueDepth << ", columns " << doc.ColClueDepth << "\n"
                << "  form        " << (size >= PuzzleFile::FullSize(h) ? "full" : "short") << " (" << size
                << " bytes)\n"
                << "  started     " << (doc.InProgress ? QStringLiteral("yes (%1)").arg(doc.InProgress)
                                                        : QStringLiteral("no"))
                << "\n"
                << "  play time   " << PlayTime(doc.ElapsedTime) << "\n"
                << "  marks solve " << (IsSolved(doc.Solution, doc.Marks) ? "yes" : "no") << "\n";
        } catch (const EPuzzleError &e) {
            err << path << ": " << e.Message() << "\n";
            status = 1;
        }
    }
    return status;
}

int Reset(const QStringList &files)
{
    int status = 0;
    for (const QString &path : files) {
        try {
            PuzzleDocument doc = PuzzleFile::ReadFile(path);
            ResetGame(doc);
            PuzzleFile::SaveFile(path, doc, PuzzleFile::Target::ExistingFile);
            out << path << ": reset\n";
        } catch (const EPuzzleError &e) {
            err << path << ": " << e.Message() << "\n";
            status = 1;
        }
    }
    return status;
}

int Compile(const QString &source, const QString &target)
{
    QFile file(source);
    // A pipe or a device would be read for ever; only a plain file can be a picture.
    if (!QFileInfo(source).isFile() || !file.open(QIODevice::ReadOnly)) {
        err << source << ": " << PuzzleFile::CannotOpenText(source) << "\n";
        return 1;
    }
    // Read no further than the cap, in case the file grows while it is read.
    const QByteArray text = file.read(MaxTextArtBytes + 1);
    if (text.size() > MaxTextArtBytes) {
        err << source << ": the file is more than " << MaxTextArtBytes << " bytes; no picture needs as many\n";
        return 1;
    }
    TMyCrossArr picture;
    try {
        picture = ParseTextArt(QString::fromUtf8(text));
    } catch (const std::exception &e) {
        err << source << ": " << e.what() << "\n";
        return 1;
    }
    try {
        PuzzleFile::SaveFile(target, DocumentFromPicture(picture), PuzzleFile::Target::ChosenPath);
    } catch (const EPuzzleError &e) {
        err << target << ": " << e.Message() << "\n";
        return 1;
    }
    return 0;
}

int Render(QStringList args)
{
    int cell = 15;
    const qsizetype at = args.indexOf(QStringLiteral("--cell"));
    if (at >= 0) {
        bool ok = false;
        cell = at + 1 < args.size() ? args[at + 1].toInt(&ok) : 0;
        if (!ok || cell < 1 || cell > 200) {
            err << "--cell takes a whole number from 1 to 200\n";
            return 2;
        }
        args.remove(at, 2);
    }
    if (args.size() != 2)
        return Usage();
    try {
        const PuzzleDocument doc = PuzzleFile::ReadFile(args[0]);
        const int width = (doc.RowClueDepth + doc.ColCount) * cell + 50;
        const int height = (doc.ColClueDepth + doc.RowCount) * cell + 50;
        // Said before the gigabytes are asked for, not as a failed write afterwards.
        if (qint64(width) * height > MaxPicturePixels) {
            err << args[1] << ": the picture would be " << width << "x" << height
                << " pixels, too large (at most " << MaxPicturePixels << "); try a smaller --cell\n";
            return 1;
        }
        QImage bitmap(width, height, QImage::Format_RGB32);
        if (bitmap.isNull()) {
            err << args[1] << ": not enough memory for a " << width << "x" << height << " picture\n";
            return 1;
        }
        bitmap.fill(Qt::white);
        RenderBoard(bitmap, width, height, doc, cell, false, nullptr);
        // Encoded in memory, so the old picture stays whole unless the new one is written whole.
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !bitmap.save(&buffer, "PNG")) {
            err << args[1] << ": cannot write\n";
            return 1;
        }
        try {
            PuzzleFile::SaveBytes(args[1], png, PuzzleFile::Target::ChosenPath);
        } catch (const EPuzzleError &e) {
            err << args[1] << ": " << e.Message() << "\n";
            return 1;
        }
    } catch (const EPuzzleError &e) {
        err << args[0] << ": " << e.Message() << "\n";
        return 1;
    }
    return 0;
}

// "--work-budget N" taken out of the arguments: the solver's budget, 0 when not given (the
// default budget), -1 when N is not a positive number.
int64_t TakeWorkBudget(QStringList &args)
{
    const qsizetype at = args.indexOf(QStringLiteral("--work-budget"));
    if (at < 0)
        return 0;
    bool ok = false;
    const qlonglong value = args.value(at + 1).toLongLong(&ok);
    args.remove(at, std::min<qsizetype>(2, args.size() - at));
    return ok && value > 0 ? value : -1;
}

TSolveResult SolvePicture(const TMyCrossArr &picture, int64_t maxWork)
{
    return SolveClues(RowClues(picture), ColumnClues(picture),
                      maxWork > 0 ? maxWork
                                  : ImportWorkBudget(int32_t(picture.size()), picture.empty() ? 0 : int32_t(picture[0].size())));
}

QString SolvedText(const TSolveResult &result)
{
    return result.LineSolvable ? QStringLiteral("line-solvable") : QStringLiteral("needs-search");
}

int32_t DifficultyOf(const TSolveResult &result, const TMyCrossArr &picture)
{
    return EstimateDifficulty(result, int32_t(picture.size()), picture.empty() ? 0 : int32_t(picture[0].size()));
}

// The file name with the stem's last digit set to the level: a trailing digit is replaced, else
// one is added. The browser reads that digit as the difficulty.
QString WithDifficultyDigit(const QString &fileName, int32_t level)
{
    const QFileInfo info(fileName);
    QString stem = info.completeBaseName();
    if (!stem.isEmpty() && stem.back().isDigit())
        stem.chop(1);
    stem += QChar(u'0' + char16_t(level));
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? stem : stem + QLatin1Char('.') + suffix;
}

// A link at the name takes it even when it points nowhere: the new file never goes through it.
bool Taken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// A free name in the folder for an imported puzzle; empty when a thousand are taken.
QString ImportTarget(const QDir &folder, const QString &inputPath, const QString &title, int32_t level)
{
    QString base;
    bool spaceBeforeDigit = false;
    if (!title.trimmed().isEmpty()) {
        base = SafeFileName(title);
        // A title's own number stays readable: "Puzzle 12" becomes "Puzzle 12 3", not "Puzzle 123".
        spaceBeforeDigit = base.back().isDigit();
    } else {
        // A file stem already ends in its designer's digit as often as not; ours replaces it.
        QString stem = QFileInfo(inputPath).completeBaseName();
        if (!stem.isEmpty() && stem.back().isDigit())
            stem.chop(1);
        base = SafeFileName(stem);
    }
    const QChar digit(u'0' + char16_t(level));
    for (int n = 1; n <= 1000; ++n) {
        QString name = base;
        // "Узор 15x15 (2) 2", not "Узор 15x15 (2)2": the copy's number apart from the level.
        if (n > 1)
            name += QStringLiteral(" (%1) ").arg(n);
        else if (spaceBeforeDigit)
            name += QLatin1Char(' ');
        const QString path = folder.filePath(name + digit + QStringLiteral(".pxg"));
        if (!Taken(path))
            return path;
    }
    return QString();
}

// A pipe or a device would block the read for ever; refused as the player refuses it.
TImportedPuzzle ImportPlainFile(const QString &path, int64_t maxWork)
{
    if (!QFileInfo(path).isFile())
        throw EImportError(PuzzleFile::CannotOpenText(path));
    return ImportFile(path, maxWork);
}

void SaveImported(const QString &input, const TImportedPuzzle &puzzle, const QString &target)
{
    PuzzleFile::SaveFile(target, DocumentFromPicture(puzzle.Picture), PuzzleFile::Target::NewFile);
    out << input << " -> " << target << " (" << SolvedText(puzzle.Solved) << ", "
        << DifficultyText(DifficultyOf(puzzle.Solved, puzzle.Picture)) << ")\n";
    if (!puzzle.Warning.isEmpty()) {
        out.flush();
        err << input << ": warning: " << puzzle.Warning << "\n";
    }
}

int Import(QStringList args)
{
    const int64_t maxWork = TakeWorkBudget(args);
    if (maxWork < 0)
        return Usage();
    if (!args.isEmpty() && args[0] == QLatin1String("--into")) {
        if (args.size() < 3)
            return Usage();
        const QDir folder(args[1]);
        if (!folder.exists() && !QDir().mkpath(args[1])) {
            err << args[1] << ": cannot create the folder\n";
            return 1;
        }
        int status = 0;
        for (const QString &input : args.mid(2)) {
            try {
                const TImportedPuzzle puzzle = ImportPlainFile(input, maxWork);
                const QString target = ImportTarget(folder, input, ImportedName(puzzle),
                                                    DifficultyOf(puzzle.Solved, puzzle.Picture));
                if (target.isEmpty()) {
                    err << input << ": every name for it in " << args[1] << " is taken\n";
                    status = 1;
                    continue;
                }
                SaveImported(input, puzzle, target);
            } catch (const EImportError &e) {
                err << input << ": " << e.Message() << "\n";
                status = 1;
            } catch (const EPuzzleError &e) {
                err << input << ": " << e.Message() << "\n";
                status = 1;
            }
        }
        return status;
    }
    if (args.size() != 2)
        return Usage();
    if (Taken(args[1])) {
        err << args[1] << ": already exists; not overwritten\n";
        return 1;
    }
    try {
        SaveImported(args[0], ImportPlainFile(args[0], maxWork), args[1]);
    } catch (const EImportError &e) {
        err << args[0] << ": " << e.Message() << "\n";
        return 1;
    } catch (const EPuzzleError &e) {
        err << args[1] << ": " << e.Message() << "\n";
        return 1;
    }
    return 0;
}

// New puzzles named as import --into names them, each proved unique before it is written.
int Generate(const QStringList &args)
{
    QString folderPath;
    int64_t count = -1, level = -1, rows = 0, cols = 0;
    uint64_t seed = 1;
    TPictureKind kind = TPictureKind::Any;
    double seconds = 60;
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString &key = args[i], &value = args[i + 1];
        bool ok = true;
        if (key == QLatin1String("--into")) {
            folderPath = value;
        } else if (key == QLatin1String("--count")) {
            count = value.toLongLong(&ok);
        } else if (key == QLatin1String("--level")) {
            level = value.toLongLong(&ok);
        } else if (key == QLatin1String("--seed")) {
            seed = value.toULongLong(&ok);
        } else if (key == QLatin1String("--kind")) {
            ok = ParsePictureKind(value, kind);
        } else if (key == QLatin1String("--time")) {
            seconds = value.toDouble(&ok);
            ok = ok && seconds > 0 && seconds <= 1e6;
        } else if (key == QLatin1String("--size")) {
            const QStringList parts = value.toLower().split(QLatin1Char('x'));
            bool okRows = false;
            ok = parts.size() == 2;
            if (ok) {
                cols = parts[0].toLongLong(&ok);
                rows = parts[1].toLongLong(&okRows);
            }
            ok = ok && okRows;
        } else {
            ok = false;
        }
        if (!ok)
            return Usage();
    }
    if (args.size() % 2 != 0 || folderPath.isEmpty() || count < 1 || count > 10000 || level < 0
        || level > MaxDifficulty || rows < 2 || cols < 2 || rows > 200 || cols > 200)
        return Usage();
    // Size weighs most in the estimate: asking a big board to be easy would search for ever.
    const TLevelRange range = ReachableLevels(int32_t(rows), int32_t(cols), kind);
    if (!range.Holds(int32_t(level))) {
        err << "level " << level << " is out of reach at " << cols << "x" << rows << ": "
            << (range.Low == range.High ? QStringLiteral("only level %1 can").arg(range.Low)
                                        : QStringLiteral("levels %1-%2 can").arg(range.Low).arg(range.High))
            << " be made there; the nearest is " << range.Nearest(int32_t(level)) << "\n";
        return 1;
    }
    const QDir folder(folderPath);
    if (!folder.exists() && !QDir().mkpath(folderPath)) {
        err << folderPath << ": cannot create the folder\n";
        return 1;
    }
    TGenerator generator(int32_t(rows), int32_t(cols), int32_t(level), seed, kind);
    const QString title = QStringLiteral("Узор %1x%2").arg(cols).arg(rows);
    using TClock = std::chrono::steady_clock;
    const TClock::time_point start = TClock::now();
    TGenerateLimits limits;
    limits.MaxCandidates = INT64_MAX; // --time bounds it: a rare level is a matter of time
    limits.Deadline = start + std::chrono::milliseconds(int64_t(seconds * 1000));
    // On a terminal a line that keeps count, so a long run is never silent.
    const bool terminal = isatty(STDERR_FILENO) == 1;
    TClock::time_point shown = start;
    int64_t made = 0;
    if (terminal)
        limits.Progress = [&](int64_t candidates) {
            const TClock::time_point now = TClock::now();
            if (now - shown < std::chrono::milliseconds(500))
                return;
            shown = now;
            err << "\r" << made << "/" << count << " puzzles, " << candidates << " candidates, "
                << int64_t(std::chrono::duration<double>(now - start).count()) << " s " << Qt::flush;
        };
    const auto clearProgress = [&] {
        if (terminal && shown != start)
            err << "\r\033[K" << Qt::flush;
    };
    for (; made < count; ++made) {
        TGenerated puzzle;
        const TGenerateOutcome outcome = generator.Make(puzzle, limits);
        if (outcome != TGenerateOutcome::Made) {
            clearProgress();
            if (outcome == TGenerateOutcome::OutOfTime)
                err << "stopped after " << seconds << " s with " << made << " of " << count << " puzzles of level "
                    << level << " (" << generator.Candidates() << " candidates); give it more --time";
            else
                err << "no puzzle of level " << level << " found after " << generator.Candidates() << " candidates";
            // A long thin board reaches fewer levels than its cell count promises: say what it did reach.
            const int32_t seen = generator.NearestSeenLevel();
            if (made == 0 && seen >= 0 && seen != level)
                err << "; the nearest level that came up at this size was " << seen;
            err << "\n";
            break;
        }
        const QString target = ImportTarget(folder, QString(), title, puzzle.Level);
        if (target.isEmpty()) {
            clearProgress();
            err << "every name for it in " << folderPath << " is taken\n";
            break;
        }
        try {
            PuzzleFile::SaveFile(target, DocumentFromPicture(puzzle.Picture), PuzzleFile::Target::NewFile);
        } catch (const EPuzzleError &e) {
            clearProgress();
            err << target << ": " << e.Message() << "\n";
            break;
        }
        clearProgress();
        out << target << " (" << SolvedText(puzzle.Solved) << ", " << DifficultyText(puzzle.Level) << ")\n" << Qt::flush;
    }
    out << made << " puzzles from " << generator.Candidates() << " candidates\n";
    return made == count ? 0 : 1;
}

int Export(const QString &source, const QString &target)
{
    if (Taken(target)) {
        err << target << ": already exists; not overwritten\n";
        return 1;
    }
    PuzzleDocument doc;
    try {
        doc = PuzzleFile::ReadFile(source);
    } catch (const EPuzzleError &e) {
        err << source << ": " << e.Message() << "\n";
        return 1;
    }
    // The stem's last digit is the difficulty, not part of the name.
    QString title = QFileInfo(source).completeBaseName();
    if (title.size() > 1 && title.back().isDigit())
        title.chop(1);
    title = title.trimmed(); // "Узор 15x15 2" is named with a space before its digit
    try {
        PuzzleFile::SaveBytes(target, ExportNon(doc.Solution, title), PuzzleFile::Target::NewFile);
    } catch (const EPuzzleError &e) {
        err << target << ": " << e.Message() << "\n";
        return 1;
    }
    return 0;
}

int Check(QStringList args)
{
    const int64_t maxWork = TakeWorkBudget(args);
    if (maxWork < 0)
        return Usage();
    const bool rename = args.removeAll(QStringLiteral("--rename")) > 0;
    if (args.isEmpty())
        return Usage();
    int status = 0;
    for (const QString &path : args) {
        PuzzleDocument doc;
        try {
            doc = PuzzleFile::ReadFile(path);
        } catch (const EPuzzleError &e) {
            err << path << ": " << e.Message() << "\n";
            status = 1;
            continue;
        }
        const TSolveResult result = SolvePicture(doc.Solution, maxWork);
        const int32_t level = DifficultyOf(result, doc.Solution);
        out << path << '\t' << QString::fromStdString(VerdictText(result)) << '\t' << SolvedText(result) << '\t' << DifficultyText(level);
        if (rename) {
            const QString fileName = QFileInfo(path).fileName();
            const QString newName = WithDifficultyDigit(fileName, level);
            // The folder part stays as it was typed.
            const QString target = path.left(path.size() - fileName.size()) + newName;
            if (newName != fileName) {
                if (QFileInfo::exists(target)) {
                    out << '\n';
                    out.flush();
                    err << path << ": not renamed: " << target << " already exists\n";
                    status = 1;
                    continue;
                }
                if (!QFile::rename(path, target)) {
                    out << '\n';
                    out.flush();
                    err << path << ": cannot rename to " << target << "\n";
                    status = 1;
                    continue;
                }
                out << '\t' << "-> " << target;
            }
        }
        out << '\n';
    }
    return status;
}

// The synopsis lines and the paragraph of one command, cut from the usage text so that every
// command described there has its help.
int Help(const QStringList &args)
{
    if (args.isEmpty()) {
        Usage(out);
        return 0;
    }
    QString text;
    QTextStream usage(&text);
    Usage(usage);
    usage.flush();
    QStringList synopsis, paragraph;
    bool inParagraph = false;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        const qsizetype form = trimmed.indexOf(QStringLiteral("pxgtool "));
        if (trimmed.startsWith(QStringLiteral("usage:")) || form == 0) {
            if (trimmed.mid(form).section(QLatin1Char(' '), 1, 1) == args[0])
                synopsis << trimmed.mid(form);
            inParagraph = false;
        } else if (line.section(QLatin1Char(' '), 0, 0) == args[0]) {
            paragraph << line;
            inParagraph = true;
        } else if (inParagraph && line.startsWith(QLatin1Char(' '))) {
            paragraph << line;
        } else {
            inParagraph = false;
        }
    }
    if (synopsis.isEmpty()) {
        err << "pxgtool: no command '" << args[0] << "'\n";
        return Usage();
    }
    out << "usage: " << synopsis.join(QStringLiteral("\n       ")) << "\n\n" << paragraph.join(QLatin1Char('\n')) << "\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A write beyond the file-size limit then fails with "Stream write error" instead of
    // killing the tool half-way through a list of files.
    std::signal(SIGXFSZ, SIG_IGN);
    // Drawing text needs the GUI layer, but never a screen.
    const bool rendering = argc > 1 && (qstrcmp(argv[1], "render") == 0 || qstrcmp(argv[1], "print") == 0
                                        || qstrcmp(argv[1], "thumbnail") == 0);
    if (rendering && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(rendering ? new QGuiApplication(argc, argv) : new QCoreApplication(argc, argv));
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty())
        return Usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return Help({});
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        out << "pxgtool " SETKARIY_VERSION "\n";
        return 0;
    }
    if (command == QLatin1String("help") && args.size() <= 1)
        return Help(args);
    if (command == QLatin1String("info") && !args.isEmpty())
        return Info(args);
    if (command == QLatin1String("reset") && !args.isEmpty())
        return Reset(args);
    if (command == QLatin1String("compile") && args.size() == 2)
        return Compile(args[0], args[1]);
    if (command == QLatin1String("render"))
        return Render(args);
    if (command == QLatin1String("thumbnail"))
        return ThumbnailCommand(args, err);
    if (command == QLatin1String("import"))
        return Import(args);
    if (command == QLatin1String("export") && args.size() == 2)
        return Export(args[0], args[1]);
    if (command == QLatin1String("generate"))
        return Generate(args);
    if (command == QLatin1String("check"))
        return Check(args);
    if (command == QLatin1String("print"))
        return PrintBooklet(args, out, err);
    return Usage();
}
