// Fuzz target: the PNG importer, fed whole PNG files built from the input, so that mutations
// land behind valid signatures, lengths, CRCs and deflate streams instead of being refused there.
//
// Input: width, height, colour type, bit depth, interlace (one byte each), then chunks:
// a kind byte, a flags byte, a 16-bit length and the body. Flags: bits 4-7 repeat the body
// 2^n times; bit 0 deflates it, all of it or, when bits 1-3 are not 0, what follows the first
// NUL and n-1 more bytes (keyword, NUL, method and so on of zTXt, iTXt and iCCP). Without an image data chunk one of a blank
// picture is added; IEND always ends the file.
#include "tools/Importers.h"

#include <QtEndian>
#include <zlib.h>

namespace {

constexpr int64_t FuzzWorkBudget = 200'000;
// A text or profile larger than this is not needed to reach any path.
constexpr qsizetype MaxUnpacked = 16 * 1024 * 1024;

QByteArray Chunk(const QByteArray &type, const QByteArray &body)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), out.data());
    out += type + body;
    const QByteArray covered = type + body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(quint32(crc32(0, reinterpret_cast<const Bytef *>(covered.constData()), uInt(covered.size()))),
                          crc.data());
    return out + crc;
}

QByteArray Deflated(const QByteArray &bytes)
{
    return qCompress(bytes, 1).mid(4);  // the zlib stream without Qt's length prefix
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    static const int colourTypes[] = {0, 2, 3, 4, 6};
    static const int depths[] = {1, 2, 4, 8, 16};
    static const char *const kinds[] = {"IDAT", "PLTE", "tRNS", "tEXt", "zTXt", "iTXt", "iCCP", "gAMA",
                                        "sRGB", "cHRM", "bKGD", "sBIT", "pHYs", "hIST", "sPLT", "tIME",
                                        "IEND", "IHDR", "eXIf", "acTL", "fdAT", "XXXX", "aaaa"};
    const uint32_t width = 1 + data[0] % 64, height = 1 + data[1] % 64;
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = char(depths[data[3] % 5]);
    header[9] = char(colourTypes[data[2] % 5]);
    header[12] = char(data[4] & 1);
    QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header);
    bool imageData = false;
    for (size_t pos = 5; pos + 4 <= size;) {
        const char *kind = kinds[data[pos] % std::size(kinds)];
        const uint8_t flags = data[pos + 1];
        const size_t length = std::min<size_t>(qFromBigEndian<quint16>(data + pos + 2), size - pos - 4);
        QByteArray body(reinterpret_cast<const char *>(data + pos + 4), qsizetype(length));
        pos += 4 + length;
        const int keep = (flags >> 1) & 7;
        const qsizetype nul = body.indexOf('\0');
        const qsizetype prefix = keep && nul >= 0 ? std::min<qsizetype>(nul + keep, body.size()) : 0;
        QByteArray rest = body.mid(prefix);
        const qsizetype times = qsizetype(1) << (flags >> 4);
        if (rest.size() * times <= MaxUnpacked)
            rest = rest.repeated(times);
        body = body.left(prefix) + (flags & 1 ? Deflated(rest) : rest);
        imageData = imageData || qstrcmp(kind, "IDAT") == 0;
        png += Chunk(kind, body);
    }
    if (!imageData)
        png += Chunk("IDAT", Deflated(QByteArray(qsizetype(height) * (1 + (width * 8 + 7) / 8 * 8), '\0')));
    png += Chunk("IEND", QByteArray());
    try {
        ImportPuzzle(png, QStringLiteral("in.png"), FuzzWorkBudget);
    } catch (const EImportError &) {
    }
    return 0;
}
