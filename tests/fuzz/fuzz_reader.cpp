// Fuzz target: the puzzle file reader, fed arbitrary bytes.
#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QBuffer>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    PuzzleDocument doc;
    try {
        doc = PuzzleFile::Read(buffer, QStringLiteral("fuzz.pxg"));
    } catch (const EPuzzleError &) {
        return 0;
    }
    // Whatever was accepted must survive a save and a read unchanged, and the rules must run.
    const QByteArray saved = PuzzleFile::Serialize(doc);
    QBuffer again;
    again.setData(saved);
    again.open(QIODevice::ReadOnly);
    const PuzzleDocument back = PuzzleFile::Read(again, QStringLiteral("fuzz.pxg"));
    // Bytes, not fields: a play time that is not a number never equals itself.
    if (PuzzleFile::Serialize(back) != saved)
        std::abort();
    int clues = 0;
    PlaceClues(doc, [&](const TCluePlace &) { ++clues; });
    (void)IsSolved(doc.Solution, doc.Marks);
    return 0;
}
