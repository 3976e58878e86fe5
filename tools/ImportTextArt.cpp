// Reads pictures drawn as text, one line a row, into a puzzle.
#include "tools/ImportParts.h"
#include "tools/TextArt.h"

namespace ImportParts {

namespace {

// A thousand rows, with room for comments and blank lines between them.
constexpr qint64 MaxTextArtLines = 100'000;

} // namespace

TImportedPuzzle ImportTextArt(const QByteArray &bytes, int64_t maxWork)
{
    TTextLines lines(bytes);
    QStringView line;
    while (lines.Next(line))
        if (lines.Number() > MaxTextArtLines)
            Fail(QStringLiteral("The picture has more than %1 lines").arg(MaxTextArtLines));
    TMyCrossArr picture;
    try {
        picture = ParseTextArt(QString::fromUtf8(bytes));
    } catch (const std::invalid_argument &error) {
        Fail(QString::fromStdString(error.what()));
    }
    return FromPicture(std::move(picture), QString(), maxWork);
}

} // namespace ImportParts
