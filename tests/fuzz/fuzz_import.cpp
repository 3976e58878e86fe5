// Fuzz target: every importer. The first byte picks the file name the content comes under.
#include "tools/Importers.h"

// Enough for line logic on any small picture; a search that would burn the full budget under
// instrumentation ends early, so the run goes on exploring the parsers.
constexpr int64_t FuzzWorkBudget = 200'000;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const names[] = {"in.non", "in.xml", "in.txt", "in.pbm", "in.png", "in"};
    const QString name = QString::fromLatin1(names[data[0] % std::size(names)]);
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
    try {
        const TImportedPuzzle puzzle = ImportPuzzle(bytes, name, FuzzWorkBudget);
        (void)ExportNon(puzzle.Picture, puzzle.Title);
    } catch (const EImportError &) {
    }
    return 0;
}
