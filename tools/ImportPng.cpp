// Reads PNG pictures: dark opaque pixels are black, the rest white.
#include "tools/ImportParts.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <algorithm>
#include <zlib.h>

namespace ImportParts {

namespace {

// The PNG library inflates every byte of image data to its end, even far past what the
// picture's size needs: a few hundred kilobytes can unpack to gigabytes and take minutes. The
// image data is inflated here first, and refused as soon as it holds more than the size needs.
void CheckImageData(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    qint64 needed = -1;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        Fail(QStringLiteral("Cannot read the PNG picture: out of memory"));
    std::vector<uchar> sink(64 * 1024);
    qint64 inflated = 0;
    bool ended = false;
    for (qsizetype pos = 8; pos + 12 <= n && !ended;) {
        const quint32 length = qFromBigEndian<quint32>(data + pos);
        const QByteArrayView type(bytes.constData() + pos + 4, 4);
        if (length > quint32(n - pos - 12))
            break;  // truncated: the PNG library says so
        const uchar *body = data + pos + 8;
        if (type == "IHDR" && length >= 13) {
            const qint64 width = qFromBigEndian<quint32>(body), height = qFromBigEndian<quint32>(body + 4);
            const int depth = body[8], colour = body[9], interlaced = body[12];
            const int channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
            if (width < 1 || height < 1 || width > MaxSide || height > MaxSide)
                break;  // the size check that follows names it
            // Adam7 adds at most a filter byte and a rounded byte per row of each pass.
            const qint64 rowBytes = (width * depth * channels + 7) / 8;
            needed = height * (1 + rowBytes) + (interlaced ? 4 * height + 64 : 0);
        } else if (type == "IDAT" && needed >= 0) {
            stream.next_in = const_cast<uchar *>(body);
            stream.avail_in = length;
            while (stream.avail_in > 0 && !ended) {
                stream.next_out = sink.data();
                stream.avail_out = uInt(sink.size());
                const int status = inflate(&stream, Z_NO_FLUSH);
                inflated += qint64(sink.size() - stream.avail_out);
                if (inflated > needed) {
                    inflateEnd(&stream);
                    Fail(QStringLiteral("The PNG picture holds more image data than its %1 x %2 pixels need")
                             .arg(qFromBigEndian<quint32>(data + 16))
                             .arg(qFromBigEndian<quint32>(data + 20)));
                }
                ended = status != Z_OK;
            }
        }
        pos += 12 + qsizetype(length);
    }
    inflateEnd(&stream);
}

// The picture's own chunks and its transparency; the rest only describes it. The PNG library
// unpacks every compressed text to its end and Qt keeps each one, so three hundred texts of a
// few kilobytes, each unpacking to megabytes, would take gigabytes before a pixel is read.
QByteArray PictureChunks(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const qsizetype n = bytes.size();
    // A file taken as PNG by its name may be shorter than the signature.
    qsizetype pos = std::min<qsizetype>(8, n);
    QByteArray kept = bytes.left(pos);
    while (pos + 12 <= n) {
        const quint32 length = qFromBigEndian<quint32>(data + pos);
        if (length > quint32(n - pos - 12))
            break;  // truncated: the PNG library says so
        const QByteArrayView type(bytes.constData() + pos + 4, 4);
        // A capital first letter marks a chunk no reader may skip, known to it or not.
        const bool critical = (type[0] & 0x20) == 0;
        if (critical || type == "tRNS")
            kept.append(bytes.constData() + pos, 12 + qsizetype(length));
        pos += 12 + qsizetype(length);
        if (type == "IEND")
            return kept;
    }
    kept.append(bytes.constData() + pos, n - pos);
    return kept;
}

TMyCrossArr ReadPng(const QByteArray &bytes)
{
    CheckImageData(bytes);
    QByteArray copy = PictureChunks(bytes);
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
