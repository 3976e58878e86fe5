// A hint "short|long": the short part is the tooltip, the long part goes to the status bar.
#pragma once

#include <QString>

struct THintText {
    QString Short;
    QString Long;
};

inline THintText SplitHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return {hint, hint};
    return {hint.left(bar), hint.mid(bar + 1)};
}
