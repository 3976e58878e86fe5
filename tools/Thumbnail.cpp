// pxgtool thumbnail: a puzzle's board as file managers show it.
#include "tools/Thumbnail.h"

#include "core/BoardRender.h"
#include "format/PuzzleFile.h"

#include <QSaveFile>
#include <algorithm>

QImage PuzzleThumbnail(const PuzzleDocument &doc, int size)
{
    if (size < 1 || size > 4096)
        return {};
    const int across = std::max(1, doc.RowClueDepth + doc.ColCount);
    const int down = std::max(1, doc.ColClueDepth + doc.RowCount);
    // Drawn at least at the asked size, then scaled down smoothly: the clue numbers stay
    // readable shapes instead of the renderer's smallest text. Never more than a few megapixels,
    // whatever the board.
    const int cell = std::clamp((size + std::max(across, down) - 1) / std::max(across, down), 4, 32);
    // Drawn with the margin pxgtool render leaves, then cut to the board itself: the counts
    // outside it would only shrink the picture.
    const int width = across * cell + 50, height = down * cell + 50;
    if (qint64(width) * height > 16'000'000)
        return {};
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return {};
    canvas.fill(Qt::white);
    const TBoardOrigins at = RenderBoard(canvas, width, height, doc, cell, false, nullptr);
    const QImage board = canvas.copy(at.BoardLeft, at.BoardTop, across * cell, down * cell);
    return board.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

int ThumbnailCommand(const QStringList &args, QTextStream &err)
{
    bool ok = false;
    const int size = args.size() == 3 ? args[2].toInt(&ok) : 0;
    if (!ok || size < 1 || size > 4096) {
        err << "usage: pxgtool thumbnail IN OUT.png SIZE (SIZE from 1 to 4096)\n";
        return 2;
    }
    try {
        const QImage picture = PuzzleThumbnail(PuzzleFile::ReadFile(args[0]), size);
        if (picture.isNull()) {
            err << args[0] << ": the board is too large for a thumbnail\n";
            return 1;
        }
        QSaveFile file(args[1]);
        if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
            err << args[1] << ": cannot write\n";
            return 1;
        }
    } catch (const EPuzzleError &e) {
        err << args[0] << ": " << e.Message() << "\n";
        return 1;
    }
    return 0;
}
