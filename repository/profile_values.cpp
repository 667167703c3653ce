#include "repository/profile_values.h"

#include "repository/profile_file.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace exam {
namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.sliced(begin, end - begin);
}

double leadingNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text.at(i)))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ++i;
    const qsizetype digitsStart = i;
    while (i < text.size() && isDigit(text.at(i)))
        ++i;
    qsizetype digits = i - digitsStart;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        const qsizetype fractionStart = i + 1;
        qsizetype j = fractionStart;
        while (j < text.size() && isDigit(text.at(j)))
            ++j;
        if (j > fractionStart) {
            digits += j - fractionStart;
            i = j;
        }
    }
    if (digits == 0)
        return 0.0;
    // Whole numbers of up to 15 digits (counts, answers, scores) are exact in a double.
    if (i - digitsStart == digits && digits <= 15) {
        qint64 whole = 0;
        for (qsizetype k = digitsStart; k < i; ++k)
            whole = whole * 10 + (text.at(k).unicode() - '0');
        return text.at(start) == QLatin1Char('-') ? -double(whole) : double(whole);
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QStringView(text).sliced(start, i - start), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

qint64 roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // 2^63 itself does not fit: clamp to the largest double below it.
    const double clamped = std::clamp(value, -9223372036854775808.0, 9223372036854774784.0);
    // The default rounding mode rounds half to even.
    return static_cast<qint64>(std::nearbyint(clamped));
}

qint16 roundToInt16(double value)
{
    return static_cast<qint16>(std::clamp<qint64>(roundHalfEven(value), -32768, 32767));
}

qint16 profileNumber(const QString &text)
{
    return roundToInt16(leadingNumber(text));
}

bool profileFlag(const QString &text)
{
    return profileNumber(text) == 1;
}

QString shortestNumberText(double value)
{
    if (!std::isfinite(value) || value == 0.0)
        return QStringLiteral("0");
    // "d.ddddddddddddddde±x": 15 significant digits, then placed without an exponent.
    const QByteArray scientific = QByteArray::number(std::fabs(value), 'e', 14);
    const qsizetype e = scientific.indexOf('e');
    QByteArray digits = scientific.left(e);
    digits.remove(1, 1);
    const int exponent = scientific.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    QByteArray text;
    const int pointAt = exponent + 1; // digits before the decimal point
    if (pointAt <= 0) {
        text = "0." + QByteArray(-pointAt, '0') + digits;
    } else if (pointAt >= digits.size()) {
        text = digits + QByteArray(pointAt - digits.size(), '0');
    } else {
        text = digits.left(pointAt) + '.' + digits.mid(pointAt);
    }
    if (value < 0)
        text.prepend('-');
    return QString::fromLatin1(text);
}

QString blankSignedNumberText(qint64 value)
{
    return value >= 0 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

QStringList readNumberedList(const ProfileSnapshot &profile, const QString &section,
                             const QString &countKey, const QString &defaultValue)
{
    const qint16 count = profileNumber(profile.value(section, countKey, QStringLiteral("0")));
    QStringList items;
    for (int i = 1; i <= count; ++i)
        items.append(trimBlanks(profile.value(section, QString::number(i), defaultValue)));
    return items;
}

void setNumberedList(ProfileBatch &batch, const QString &section, const QString &countKey,
                     const QStringList &items)
{
    batch.set(section, countKey, QString::number(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        batch.set(section, QString::number(i + 1), items.at(i));
}

} // namespace exam
