#include "examtool/value_checks.h"

#include "repository/profile_values.h"

#include <QRegularExpression>

namespace exam::tool {

std::optional<QString> numberProblem(const QString &entry, const QString &value, NumberRange range)
{
    static const QRegularExpression plainNumber(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    const QString text = trimBlanks(value);
    if (text.isEmpty())
        return std::nullopt;
    if (!plainNumber.match(text).hasMatch())
        return QStringLiteral("%1 的值“%2”不是数字").arg(entry, text);
    const qint64 number = roundHalfEven(leadingNumber(text));
    if (range == NumberRange::Int16 && (number < -32768 || number > 32767))
        return QStringLiteral("%1 的值 %2 超出 -32768 至 32767 的范围").arg(entry, text);
    return std::nullopt;
}

int firstNonAsciiLine(QByteArrayView bytes)
{
    int line = 1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (static_cast<unsigned char>(c) >= 0x80)
            return line;
        // A line ends at CRLF, LF or a lone CR, as in profile files.
        if (c == '\n' || (c == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    }
    return 0;
}

} // namespace exam::tool
