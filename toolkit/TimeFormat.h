// Play time shown as a time of day in the locale's long time format.
#pragma once

#include <QLocale>
#include <QString>

// The locale's long time format reduced to the hour, ":mm:ss" and the AM/PM marker; no zone.
QString PlayTimeFormat(const QLocale &locale);
// A play time in days as a time of day; whole days are dropped.
QString FormatPlayTime(double elapsedDays, const QLocale &locale = QLocale::system());
