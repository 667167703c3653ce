#include "candidate/login_rules.h"

#include "repository/profile_values.h"

#include <algorithm>

namespace exam::candidate {

QString normalizeExamNumber(const QString &typed)
{
    const double value = exam::leadingNumber(exam::trimBlanks(typed));
    if (value == 0)
        return {};
    return exam::shortestNumberText(value);
}

QString cleanTypedName(const QString &typed)
{
    QString cleaned = typed;
    for (QChar &c : cleaned) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    }
    return exam::trimBlanks(cleaned);
}

bool acceptsNumberKey(Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (modifiers & (Qt::ControlModifier | Qt::MetaModifier))
        return true;
    const bool typesCharacter =
        std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
    if (!typesCharacter)
        return true;
    return std::all_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

} // namespace exam::candidate
