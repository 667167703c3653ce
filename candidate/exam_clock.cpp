#include "candidate/exam_clock.h"

#include <QStringList>

#include <algorithm>

namespace exam::candidate {

int secondsForMinutes(int minutes)
{
    return std::max(0, minutes) * 60;
}

QString clockText(int seconds)
{
    seconds = std::max(0, seconds);
    const QChar zero(u'0');
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, zero)
        .arg(seconds / 60 % 60, 2, 10, zero)
        .arg(seconds % 60, 2, 10, zero);
}

std::optional<int> parseClockText(const QString &text)
{
    const QStringList parts = text.trimmed().split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    int values[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const int value = parts.at(i).trimmed().toInt(&ok);
        if (!ok || value < 0 || (i > 0 && value > 59) || value > 100000)
            return std::nullopt;
        values[i] = value;
    }
    return values[0] * 3600 + values[1] * 60 + values[2];
}

QString announcedClockText(const QString &text)
{
    if (!parseClockText(text) || text.count(u':') != 2)
        return text;
    return text.left(text.lastIndexOf(u':'));
}

} // namespace exam::candidate
