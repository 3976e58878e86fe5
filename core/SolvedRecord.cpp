// The record of solved puzzles: which, when and how fast, in a small file of the user's data.
#include "core/SolvedRecord.h"

#include "core/Clues.h"
#include "format/PuzzleFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cmath>

namespace {

const QByteArray FirstLine = "setkariy solved 1";
// Thousands of solves fit in a few hundred kilobytes; anything far larger is no record of ours.
constexpr qint64 MaxBytes = 16 * 1024 * 1024;

bool ParseLine(const QByteArray &line, TSolvedEntry &entry)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 7 || fields[0].size() != 40)
        return false;
    for (const char c : fields[0])
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    entry.Id = fields[0].toLower();
    entry.When = QDateTime::fromString(QString::fromLatin1(fields[1]), Qt::ISODate);
    bool okSeconds = false, okCols = false, okRows = false, okLevel = false;
    entry.Seconds = fields[2].toDouble(&okSeconds);
    entry.Cols = fields[3].toInt(&okCols);
    entry.Rows = fields[4].toInt(&okRows);
    entry.Level = fields[5].toInt(&okLevel);
    entry.Name = QString::fromUtf8(fields[6]);
    return entry.When.isValid() && okSeconds && std::isfinite(entry.Seconds) && entry.Seconds >= 0 && okCols
        && okRows && okLevel && entry.Cols >= 1 && entry.Rows >= 1 && entry.Cols <= PuzzleFile::MaxLineCount
        && entry.Rows <= PuzzleFile::MaxLineCount && entry.Level >= -1 && entry.Level <= 9;
}

} // namespace

QByteArray PuzzleIdentity(const TMyCrossArr &solution)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const int32_t rows = int32_t(solution.size()), cols = rows == 0 ? 0 : int32_t(solution[0].size());
    hash.addData(QStringLiteral("%1x%2").arg(cols).arg(rows).toLatin1());
    const auto add = [&](const std::vector<int32_t> &runs) {
        QByteArray text = "|";
        for (const int32_t run : runs)
            text += QByteArray::number(run) + ',';
        hash.addData(text);
    };
    for (const auto &row : solution)
        add(LineRuns(row));
    hash.addData("#");
    for (int32_t c = 0; c < cols; ++c)
        add(LineRuns(ColumnCells(solution, c)));
    return hash.result().toHex();
}

QString DurationText(double seconds)
{
    const qint64 all = std::isfinite(seconds) && seconds > 0 ? qint64(std::llround(std::min(seconds, 1e12))) : 0;
    const qint64 h = all / 3600, m = all / 60 % 60, s = all % 60;
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(m).arg(s, 2, 10, QLatin1Char('0'));
}

TSolvedRecord::TSolvedRecord(const QString &path) : Path(path)
{
}

QString TSolvedRecord::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/solved.txt");
}

QString TSolvedRecord::Load(bool setAside)
{
    List.clear();
    const QFileInfo info(Path);
    if (!info.exists())
        return QString();
    QFile file(Path);
    bool damaged = !info.isFile() || info.size() > MaxBytes || !file.open(QIODevice::ReadOnly);
    QList<TSolvedEntry> read;
    if (!damaged) {
        const QList<QByteArray> lines = file.readAll().split('\n');
        damaged = lines.isEmpty() || lines[0] != FirstLine;
        for (qsizetype i = 1; !damaged && i < lines.size(); ++i) {
            if (lines[i].isEmpty())
                continue;
            TSolvedEntry entry;
            damaged = !ParseLine(lines[i], entry);
            read << entry;
        }
        file.close();
    }
    if (!damaged) {
        List = read;
        return QString();
    }
    if (!setAside)
        return QStringLiteral("Файл решённых головоломок %1 повреждён.").arg(Path);
    // Kept for whoever wants to look into it; the player goes on with a fresh record.
    QString aside = Path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside) && n < 1000; ++n)
        aside = Path + QStringLiteral(".damaged-%1").arg(n);
    if (!QFile::rename(Path, aside))
        return QStringLiteral("Файл решённых головоломок %1 повреждён и не может быть отложен; "
                              "результаты этого сеанса в него не попадут.").arg(Path);
    return QStringLiteral("Файл решённых головоломок был повреждён и отложен как %1; начат новый.").arg(aside);
}

void TSolvedRecord::Add(const TSolvedEntry &entry)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    // A damaged file that could not be set aside stays as it is.
    if (QFileInfo::exists(Path) && !QFileInfo(Path).isFile())
        throw EPuzzleError(PuzzleFile::CannotOpenText(Path));
    QList<TSolvedEntry> next = List;
    next << entry;
    QByteArray text = FirstLine + '\n';
    for (const TSolvedEntry &e : next) {
        QString name = e.Name;
        name.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        text += e.Id + '\t' + e.When.toUTC().toString(Qt::ISODate).toLatin1() + '\t'
              + QByteArray::number(std::llround(e.Seconds)) + '\t' + QByteArray::number(e.Cols) + '\t'
              + QByteArray::number(e.Rows) + '\t' + QByteArray::number(e.Level) + '\t' + name.toUtf8() + '\n';
    }
    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly))
        throw EPuzzleError(PuzzleFile::CannotOpenText(Path));
    if (file.write(text) != text.size() || !file.commit())
        throw EPuzzleError(QStringLiteral("Не удалось записать файл решённых головоломок %1").arg(Path));
    List = next;
}

bool TSolvedRecord::Contains(const QByteArray &id) const
{
    for (const TSolvedEntry &e : List)
        if (e.Id == id)
            return true;
    return false;
}

double TSolvedRecord::Best(const QByteArray &id) const
{
    double best = -1;
    for (const TSolvedEntry &e : List)
        if (e.Id == id && (best < 0 || e.Seconds < best))
            best = e.Seconds;
    return best;
}

bool TSolvedRecord::HoldsFile(const QString &path, int32_t cols, int32_t rows) const
{
    bool sized = false;
    for (const TSolvedEntry &e : List)
        sized = sized || (e.Cols == cols && e.Rows == rows);
    if (!sized)
        return false;
    try {
        return Contains(PuzzleIdentity(PuzzleFile::ReadFile(path).Solution));
    } catch (const EPuzzleError &) {
        return false;
    }
}
