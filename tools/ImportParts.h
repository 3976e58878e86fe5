// What the importers of the separate formats share: their entry points, messages and checks.
#pragma once

#include "format/PuzzleFile.h"
#include "tools/Importers.h"

#include <QStringView>
#include <optional>

namespace ImportParts {

constexpr int32_t MaxSide = PuzzleFile::MaxLineCount;

[[noreturn]] void Fail(const QString &message);
QString AtLine(qint64 line);
QString RunsText(const std::vector<int32_t> &runs);

// A side given in the file, checked against what the puzzle file can hold.
int32_t SideOf(qint64 value, const QString &what, const QString &where);

// A whole number of at most a few digits: longer ones can only be out of range anyway.
std::optional<qint64> SmallNumber(QStringView text);

// The clues of one direction with the file lines they came from, for messages.
struct TClueSet {
    TClueLines Lines;
    std::vector<qint64> Sources;
};

void CheckFits(const TClueSet &set, int32_t length, const QString &lineWord);
void CheckTotals(const TClueLines &rows, const TClueLines &columns);

// Both directions of a given picture against given clues; the first difference is named.
void CheckPictureAgainst(const TMyCrossArr &picture, const TClueSet *rows, const TClueSet *columns,
                         const QString &pictureWord);

// The clues solved within the import budget (maxWork when positive); proved ambiguous or
// unsolvable clues are refused, so the result is Unique or GaveUp.
TSolveResult SolveOrRefuse(const TClueLines &rows, const TClueLines &columns, int64_t maxWork);
// A picture is only a puzzle if its clues lead back to it alone; when the solver runs out of
// work before it can tell, the picture is taken as drawn, with a warning.
TImportedPuzzle FromPicture(TMyCrossArr picture, const QString &title, int64_t maxWork);

QString Unquoted(QString text);
bool IsClueSeparator(QChar ch);

// Walks a text line by line instead of splitting it up front, so that a file of nothing but
// line breaks does not become millions of strings.
class TTextLines {
public:
    explicit TTextLines(const QByteArray &bytes) : Text(QString::fromUtf8(bytes))
    {
        if (Text.startsWith(QChar(0xfeff)))
            Pos = 1;
    }

    // The next line without its line break; false after the last. The final line break ends
    // the last line rather than starting an empty one.
    bool Next(QStringView &line)
    {
        if (Done)
            return false;
        const qsizetype end = Text.indexOf(QLatin1Char('\n'), Pos);
        if (end < 0) {
            line = QStringView(Text).mid(Pos);
            Done = true;
        } else {
            line = QStringView(Text).mid(Pos, end - Pos);
            Pos = end + 1;
            Done = Pos == Text.size();
        }
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        ++Count;
        return true;
    }

    qint64 Number() const { return Count; }

private:
    QString Text;
    qsizetype Pos = 0;
    qint64 Count = 0;
    bool Done = false;
};

// maxWork: the solver's budget, 0 for ImportWorkBudget.
TImportedPuzzle ImportNon(const QByteArray &bytes, int64_t maxWork);
bool LooksLikeNon(const QByteArray &bytes);
TImportedPuzzle ImportXml(const QByteArray &bytes, int64_t maxWork);
TImportedPuzzle ImportPbm(const QByteArray &bytes, int64_t maxWork);
TImportedPuzzle ImportPng(const QByteArray &bytes, int64_t maxWork);
TImportedPuzzle ImportTextArt(const QByteArray &bytes, int64_t maxWork);

} // namespace ImportParts
