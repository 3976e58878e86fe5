// Reads plain (P1) and packed (P4) PBM pictures.
#include "tools/ImportParts.h"

namespace ImportParts {

namespace {

class TPbmReader {
public:
    explicit TPbmReader(const QByteArray &bytes) : Bytes(bytes) {}

    TMyCrossArr Read()
    {
        const bool plain = Bytes.startsWith("P1");
        Pos = 2;
        const qint64 widthValue = Number(QStringLiteral("width"));
        const int32_t width = SideOf(widthValue, QStringLiteral("width"), AtLine(Line));
        const qint64 heightValue = Number(QStringLiteral("height"));
        const int32_t height = SideOf(heightValue, QStringLiteral("height"), AtLine(Line));
        TMyCrossArr picture = MakeCrossArr(height, width);
        if (plain) {
            for (int32_t r = 0; r < height; ++r)
                for (int32_t c = 0; c < width; ++c) {
                    SkipSpace();
                    if (Pos >= Bytes.size())
                        Fail(QStringLiteral("The file ends after %1 of %2 pixels (truncated)")
                                 .arg(qint64(r) * width + c)
                                 .arg(qint64(width) * height));
                    const char ch = Bytes[Pos++];
                    if (ch != '0' && ch != '1')
                        Fail(QStringLiteral("%1'%2' is not a pixel; plain PBM pixels are 0 and 1")
                                 .arg(AtLine(Line), Shown(ch)));
                    picture[r][c] = ch == '1' ? 1 : 0;
                }
            return picture;
        }
        // One whitespace byte separates the header from the packed rows.
        if (Pos >= Bytes.size() || !IsSpace(Bytes[Pos]))
            Fail(QStringLiteral("%1the header must end in a single whitespace before the pixels").arg(AtLine(Line)));
        ++Pos;
        const qint64 rowBytes = (width + 7) / 8;
        const qint64 available = Bytes.size() - Pos;
        if (available < rowBytes * height)
            Fail(QStringLiteral("The file ends after %1 of %2 bytes of pixels (truncated)")
                     .arg(available)
                     .arg(rowBytes * height));
        for (int32_t r = 0; r < height; ++r)
            for (int32_t c = 0; c < width; ++c) {
                const auto byte = uint8_t(Bytes[Pos + r * rowBytes + c / 8]);
                picture[r][c] = (byte >> (7 - c % 8)) & 1;
            }
        return picture;
    }

private:
    static bool IsSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f'; }

    static QString Shown(char ch)
    {
        if (ch > 0x20 && ch < 0x7f)
            return QString(QLatin1Char(ch));
        return QStringLiteral("\\x%1").arg(uint(uint8_t(ch)), 2, 16, QLatin1Char('0'));
    }

    void SkipSpace()
    {
        while (Pos < Bytes.size()) {
            const char ch = Bytes[Pos];
            if (ch == '#') {
                while (Pos < Bytes.size() && Bytes[Pos] != '\n')
                    ++Pos;
            } else if (IsSpace(ch)) {
                if (ch == '\n')
                    ++Line;
                ++Pos;
            } else {
                break;
            }
        }
    }

    qint64 Number(const QString &what)
    {
        SkipSpace();
        qint64 value = 0;
        int digits = 0;
        while (Pos < Bytes.size() && Bytes[Pos] >= '0' && Bytes[Pos] <= '9') {
            if (++digits > 9)
                Fail(QStringLiteral("%1the %2 is far too large").arg(AtLine(Line), what));
            value = value * 10 + (Bytes[Pos++] - '0');
        }
        if (digits == 0)
            Fail(Pos < Bytes.size()
                     ? QStringLiteral("%1expected the %2, found '%3'").arg(AtLine(Line), what, Shown(Bytes[Pos]))
                     : QStringLiteral("The file ends before the %1 (truncated)").arg(what));
        return value;
    }

    const QByteArray &Bytes;
    qsizetype Pos = 0;
    qint64 Line = 1;
};

} // namespace

TImportedPuzzle ImportPbm(const QByteArray &bytes, int64_t maxWork)
{
    if (!bytes.startsWith("P1") && !bytes.startsWith("P4"))
        Fail(QStringLiteral("Line 1: not a black-and-white PBM picture (P1 or P4 expected)"));
    return FromPicture(TPbmReader(bytes).Read(), QString(), maxWork);
}

} // namespace ImportParts
