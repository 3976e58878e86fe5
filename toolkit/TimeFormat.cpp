// Play time shown as a time of day in the locale's long time format.
#include "toolkit/TimeFormat.h"

#include <QRegularExpression>
#include <QTime>
#include <cmath>

QString PlayTimeFormat(const QLocale &locale)
{
    // Quoted literals are words of the locale, not parts of the time.
    QString full = locale.timeFormat(QLocale::LongFormat);
    full.remove(QRegularExpression(QStringLiteral("'[^']*'")));
    const bool twelveHour = full.contains(QLatin1Char('a'), Qt::CaseInsensitive);
    const qsizetype hourAt = full.indexOf(QLatin1Char('h'), 0, Qt::CaseInsensitive);
    const bool leadingZero = hourAt >= 0 && hourAt + 1 < full.size()
        && full.at(hourAt + 1).toLower() == QLatin1Char('h');
    // 'h' follows the AM/PM marker in Qt; 'H' never does, so the 24-hour dial uses 'H'.
    QString time = QString(leadingZero ? 2 : 1, twelveHour ? QLatin1Char('h') : QLatin1Char('H'))
        + QStringLiteral(":mm:ss");
    if (!twelveHour)
        return time;
    const qsizetype markerAt = full.indexOf(QLatin1Char('a'), 0, Qt::CaseInsensitive);
    const QString marker = full.mid(markerAt, 2).compare(QStringLiteral("ap"), Qt::CaseInsensitive) == 0
        ? full.mid(markerAt, 2) : full.mid(markerAt, 1);
    return markerAt < hourAt ? marker + QLatin1Char(' ') + time : time + QLatin1Char(' ') + marker;
}

QString FormatPlayTime(double elapsedDays, const QLocale &locale)
{
    double seconds = std::round(elapsedDays * 86400.0);
    if (!std::isfinite(seconds))
        seconds = 0;
    seconds = std::fmod(seconds, 86400.0);
    if (seconds < 0)
        seconds += 86400.0;
    const QTime time = QTime(0, 0).addSecs(static_cast<int>(seconds));
    return locale.toString(time, PlayTimeFormat(locale));
}
