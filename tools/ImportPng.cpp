// Reads PNG pictures: dark opaque pixels are black, the rest white.
#include "tools/ImportParts.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace ImportParts {

namespace {

TMyCrossArr ReadPng(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (!size.isValid())
        Fail(QStringLiteral("Cannot read the PNG picture: %1").arg(reader.errorString()));
    if (size.width() < 1 || size.height() < 1 || size.width() > MaxSide || size.height() > MaxSide)
        Fail(QStringLiteral("The picture is %1 x %2 pixels; at most %3 x %3 are accepted")
                 .arg(size.width())
                 .arg(size.height())
                 .arg(MaxSide));
    QImage image = reader.read();
    if (image.isNull())
        Fail(QStringLiteral("Cannot read the PNG picture: %1").arg(reader.errorString()));
    if (image.width() != size.width() || image.height() != size.height())
        Fail(QStringLiteral("The PNG picture's size changed while reading it"));
    image = image.convertToFormat(QImage::Format_ARGB32);
    TMyCrossArr picture = MakeCrossArr(image.height(), image.width());
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            // Transparent counts as the paper; of the rest, darker than mid-grey is ink.
            const int luminance2000 = 2 * (299 * qRed(pixel) + 587 * qGreen(pixel) + 114 * qBlue(pixel));
            picture[y][x] = qAlpha(pixel) >= 128 && luminance2000 < 255 * 1000 ? 1 : 0;
        }
    }
    return picture;
}

} // namespace

TImportedPuzzle ImportPng(const QByteArray &bytes, int64_t maxWork)
{
    return FromPicture(ReadPng(bytes), QString(), maxWork);
}

} // namespace ImportParts
