// Reads puzzles from other programs' files and pictures, and writes the .non text form.
#pragma once

#include "format/PuzzleDocument.h"
#include "core/LineSolver.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>
#include <vector>

using TClueLines = std::vector<std::vector<int32_t>>;

// Why a file could not be imported, in English, naming the line where there is one.
class EImportError : public std::runtime_error {
public:
    explicit EImportError(const QString &message);
    QString Message() const;
};

enum class TImportFormat { Non, Xml, TextArt, Pbm, Png };

// Larger files are refused before they are read: no puzzle of 1000 x 1000 needs this much.
constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;
// .non and plain PBM of 1000 x 1000 take about 3 MB, text art about 1 MB.
constexpr qint64 MaxTextBytes = 16 * 1024 * 1024;
constexpr qint64 MaxTextArtBytes = 4 * 1024 * 1024;

// The solver's budget for a puzzle of this many cells; enough for any picture line logic
// solves, so only search can run out of it.
int64_t ImportWorkBudget(int32_t rows, int32_t cols);

struct TImportedPuzzle {
    TMyCrossArr Picture;   // [row][column] 0/1
    QString Title;         // from the file when it has one, else empty
    QString Author;        // likewise
    QString Warning;       // why the import is doubtful though it went through, else empty
    TSolveResult Solved;   // the solver's run on the picture's clues: status, effort
};

// The format by content first; the file name's extension only settles what content leaves open.
TImportFormat DetectFormat(const QByteArray &bytes, const QString &fileName);

// Throws EImportError for malformed input, for clues that disagree with a given picture, for
// coloured puzzles, and for a puzzle whose clues have no or more than one solution.
// A puzzle with a goal picture whose uniqueness the solver cannot decide within maxWork
// (0: ImportWorkBudget) is taken as drawn, with a Warning; a clue-only one is refused.
TImportedPuzzle ImportPuzzle(const QByteArray &bytes, const QString &fileName, int64_t maxWork = 0);
TImportedPuzzle ImportFile(const QString &path, int64_t maxWork = 0);

// The runs of every row and of every column of a picture.
TClueLines RowClues(const TMyCrossArr &picture);
TClueLines ColumnClues(const TMyCrossArr &picture);

// The picture the clues describe. Throws EImportError when there is none ("no solution
// (unsolvable)"), more than one ("more than one solution (ambiguous)"), or the solver gave up.
TImportedPuzzle SolveImported(const TClueLines &rows, const TClueLines &columns, int64_t maxWork = 0);

// A .non text: title, size, row and column clues ("0" for an empty line) and the goal.
QByteArray ExportNon(const TMyCrossArr &picture, const QString &title);

// The title with its author, "Title (Author)", when both are known and fit in a file name;
// else the title alone.
QString ImportedName(const TImportedPuzzle &puzzle);

// A name made of the title that any file system takes: no separators or reserved characters,
// no leading dots, not empty, not overlong.
QString SafeFileName(const QString &title);
