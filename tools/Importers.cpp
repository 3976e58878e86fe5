// Reads puzzles from other programs' files and pictures, and writes the .non text form.
#include "tools/Importers.h"

#include "core/Clues.h"
#include "tools/ImportParts.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace ImportParts;

EImportError::EImportError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString EImportError::Message() const
{
    return QString::fromStdString(what());
}

int64_t ImportWorkBudget(int32_t rows, int32_t cols)
{
    // The same on every board: what stops the search is time, and every cell costs alike.
    (void)rows;
    (void)cols;
    return DefaultWorkBudget;
}

TClueLines RowClues(const TMyCrossArr &picture)
{
    TClueLines lines;
    lines.reserve(picture.size());
    for (const auto &row : picture)
        lines.push_back(LineRuns(row));
    return lines;
}

TClueLines ColumnClues(const TMyCrossArr &picture)
{
    TClueLines lines;
    const int32_t cols = picture.empty() ? 0 : int32_t(picture[0].size());
    lines.reserve(size_t(cols));
    for (int32_t c = 0; c < cols; ++c)
        lines.push_back(LineRuns(ColumnCells(picture, c)));
    return lines;
}

TImportedPuzzle SolveImported(const TClueLines &rows, const TClueLines &columns, int64_t maxWork)
{
    TImportedPuzzle puzzle;
    puzzle.Solved = SolveOrRefuse(rows, columns, maxWork);
    // Clues alone are a puzzle only once their one picture is proved.
    if (puzzle.Solved.Status == TSolveResult::Status::GaveUp)
        Fail(QStringLiteral("The solver gave up before it could tell whether the puzzle has one solution"));
    puzzle.Picture = puzzle.Solved.Picture;
    return puzzle;
}

TImportFormat DetectFormat(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return TImportFormat::Png;
    if ((bytes.startsWith("P1") || bytes.startsWith("P4"))
        && (bytes.size() == 2 || QByteArrayView(" \t\r\n#").contains(bytes[2])))
        return TImportFormat::Pbm;
    qsizetype first = bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (first < bytes.size() && QByteArrayView(" \t\r\n").contains(bytes[first]))
        ++first;
    if (first < bytes.size() && bytes[first] == '<')
        return TImportFormat::Xml;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("non"))
        return TImportFormat::Non;
    if (suffix == QLatin1String("xml"))
        return TImportFormat::Xml;
    if (suffix == QLatin1String("png"))
        return TImportFormat::Png;
    if (suffix == QLatin1String("pbm"))
        return TImportFormat::Pbm;
    return LooksLikeNon(bytes) ? TImportFormat::Non : TImportFormat::TextArt;
}

TImportedPuzzle ImportPuzzle(const QByteArray &bytes, const QString &fileName, int64_t maxWork)
{
    if (bytes.size() > MaxImportBytes)
        Fail(QStringLiteral("The file is %1 bytes; no puzzle needs more than %2").arg(bytes.size()).arg(MaxImportBytes));
    if (bytes.isEmpty())
        Fail(QStringLiteral("The file is empty"));
    const TImportFormat format = DetectFormat(bytes, fileName);
    // Text forms of the largest puzzle take a few megabytes; far more is not a puzzle, and
    // splitting it up would cost many times its size.
    const qint64 textLimit = format == TImportFormat::TextArt ? MaxTextArtBytes : MaxTextBytes;
    if (format != TImportFormat::Xml && format != TImportFormat::Png && bytes.size() > textLimit)
        Fail(QStringLiteral("The file is %1 bytes; a puzzle in this form needs no more than %2")
                 .arg(bytes.size())
                 .arg(textLimit));
    switch (format) {
    case TImportFormat::Non:
        return ImportNon(bytes, maxWork);
    case TImportFormat::Xml:
        return ImportXml(bytes, maxWork);
    case TImportFormat::Pbm:
        return ImportPbm(bytes, maxWork);
    case TImportFormat::Png:
        return ImportPng(bytes, maxWork);
    case TImportFormat::TextArt:
        break;
    }
    return ImportTextArt(bytes, maxWork);
}

TImportedPuzzle ImportFile(const QString &path, int64_t maxWork)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Cannot open the file: %1").arg(file.errorString()));
    if (file.size() > MaxImportBytes)
        Fail(QStringLiteral("The file is %1 bytes; no puzzle needs more than %2").arg(file.size()).arg(MaxImportBytes));
    const QByteArray bytes = file.read(MaxImportBytes + 1);
    return ImportPuzzle(bytes, path, maxWork);
}

QByteArray ExportNon(const TMyCrossArr &picture, const QString &title)
{
    const int32_t height = int32_t(picture.size());
    const int32_t width = picture.empty() ? 0 : int32_t(picture[0].size());
    QString safeTitle = title;
    safeTitle.replace(QLatin1Char('"'), QLatin1Char('\''));
    safeTitle.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QByteArray text;
    text += "title \"" + safeTitle.toUtf8() + "\"\n";
    text += "width " + QByteArray::number(width) + "\n";
    text += "height " + QByteArray::number(height) + "\n\n";
    auto writeLines = [&text](const TClueLines &lines) {
        for (const auto &runs : lines) {
            if (runs.empty()) {
                text += "0\n";
                continue;
            }
            for (size_t i = 0; i < runs.size(); ++i)
                text += (i ? "," : "") + QByteArray::number(runs[i]);
            text += '\n';
        }
    };
    text += "rows\n";
    writeLines(RowClues(picture));
    text += "\ncolumns\n";
    writeLines(ColumnClues(picture));
    text += "\ngoal \"";
    for (const auto &row : picture)
        for (int32_t cell : row)
            text += cell ? '1' : '0';
    text += "\"\n";
    return text;
}

QString ImportedName(const TImportedPuzzle &puzzle)
{
    const QString title = puzzle.Title.simplified(), author = puzzle.Author.simplified();
    if (title.isEmpty() || author.isEmpty() || title.size() + author.size() + 3 > 80)
        return title;
    return QStringLiteral("%1 (%2)").arg(title, author);
}

QString SafeFileName(const QString &title)
{
    QString name;
    for (QChar ch : title) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(ch))
            name += QLatin1Char('_');
        else
            name += ch;
    }
    name = name.simplified();
    // A leading dot hides the file.
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(' ')))
        name.remove(0, 1);
    constexpr qsizetype MaxLength = 80;
    if (name.size() > MaxLength) {
        name.truncate(MaxLength);
        if (name.back().isHighSurrogate())
            name.chop(1);
    }
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("puzzle") : name;
}
