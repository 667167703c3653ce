#include "repository/name_rules.h"

#include "repository/paper_profile.h"
#include "repository/profile_values.h"
#include "repository/system_profile.h"

#include <QStringList>

namespace exam {
namespace {

constexpr qsizetype MaxNameLength = 60;

const QString ForbiddenCharacters = QStringLiteral("\\/:*?\"<>|[]=");

// Section and count names of the system profile (and MAIN of the paper profile).
const QStringList ReservedNames = [] {
    using namespace SystemKeys;
    QStringList names;
    for (const char *name :
         {PaperCountKey, ClassCountKey, ClassSection, ClassSizeSection, FirstNumberSection,
          LastNumberSection, PaperSection, ReviewSection, AdminSection, PaperKeys::MainSection})
        names.append(QString::fromLatin1(name));
    return names;
}();

NameCheck refuse(const QString &reason)
{
    return {false, reason};
}

bool onlyDigits(const QString &name)
{
    for (QChar c : name) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

NameCheck checkCommon(const QString &name, const QString &what)
{
    if (name.isEmpty())
        return refuse(QStringLiteral("%1不能为空!").arg(what));
    if (name.toUcs4().size() > MaxNameLength)
        return refuse(QStringLiteral("%1不能超过%2个字符!").arg(what).arg(MaxNameLength));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return refuse(QStringLiteral("%1不能是“.”或“..”!").arg(what));
    for (QChar c : name) {
        if (ForbiddenCharacters.contains(c) || c.category() == QChar::Other_Control)
            return refuse(
                QStringLiteral("%1中不能含有以下字符: \\ / : * ? \" < > | [ ] = 及控制字符!")
                    .arg(what));
    }
    for (const QString &reserved : ReservedNames) {
        if (name.compare(reserved, Qt::CaseInsensitive) == 0)
            return refuse(QStringLiteral("“%1”是系统保留的名称,不能用作%2!").arg(name, what));
    }
    return {};
}

} // namespace

NameCheck checkPaperName(const QString &name)
{
    const QString trimmed = trimBlanks(name);
    const QString what = QStringLiteral("试卷名称");
    NameCheck check = checkCommon(trimmed, what);
    if (check && onlyDigits(trimmed))
        return refuse(QStringLiteral("试卷名称不能只由数字组成!"));
    return check;
}

NameCheck checkClassName(const QString &name)
{
    return checkCommon(trimBlanks(name), QStringLiteral("班级名称"));
}

} // namespace exam
