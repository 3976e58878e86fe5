// Reads a picture drawn as text ('#' black, '.' white) into a 0/1 matrix.
#include "tools/TextArt.h"

#include <QStringList>
#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void Reject(const QString &message)
{
    throw std::invalid_argument(message.toStdString());
}

// The character as the author typed it, or its code point when it would not show.
QString Shown(char32_t code)
{
    const QString text = QString::fromUcs4(&code, 1);
    if (code > 0x20 && code != 0x7f && QChar::isPrint(code))
        return QStringLiteral("'%1'").arg(text);
    return QStringLiteral("U+%1").arg(uint(code), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

TMyCrossArr ParseTextArt(const QString &text)
{
    TMyCrossArr picture;
    size_t width = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // Files saved by some editors start with a byte order mark.
        if (n == 0 && line.startsWith(QChar(0xfeff)))
            line.remove(0, 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;

        const int lineNumber = int(n) + 1;
        std::vector<int32_t> row;
        row.reserve(size_t(line.size()));
        int column = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            ++column;
            char32_t code = line[i].unicode();
            if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(line[i], line[i + 1]);
                ++i;
            }
            switch (code) {
            case U'#': case U'X': case U'x': case U'1':
                row.push_back(1);
                break;
            case U'.': case U'-': case U'0': case U' ':
                row.push_back(0);
                break;
            default:
                Reject(QStringLiteral("Line %1, column %2: unexpected character %3 in the picture "
                                      "(black is '#', 'X', 'x' or '1'; white is '.', '-', '0' or space)")
                           .arg(lineNumber).arg(column).arg(Shown(code)));
            }
        }
        if (row.size() > size_t(MaxTextArtSide))
            Reject(QStringLiteral("Line %1: the row is %2 cells wide; at most %3 are allowed")
                       .arg(lineNumber).arg(row.size()).arg(MaxTextArtSide));
        if (picture.size() == size_t(MaxTextArtSide))
            Reject(QStringLiteral("Line %1: the picture has more than %2 rows")
                       .arg(lineNumber).arg(MaxTextArtSide));
        width = std::max(width, row.size());
        picture.push_back(std::move(row));
    }
    if (picture.empty())
        Reject(QStringLiteral("The picture has no rows"));
    // Editors often trim trailing spaces, so a short row ends in white.
    for (auto &row : picture)
        row.resize(width, 0);
    return picture;
}
