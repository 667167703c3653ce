#include "candidate/login_rules.h"

#include "repository/profile_values.h"

#include <Qt>

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

bool acceptsNumberKey(int key, const QString &text)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        break;
    }
    if (text.isEmpty())
        return true;
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}
