#pragma once

// Small rules of the login window that hold no state: how typed entries are cleaned, which keys the
// number field takes, and the texts the window shows.

#include <QString>
#include <Qt>

namespace exam::candidate {

namespace LoginTexts {
inline const QString WindowTitle = QStringLiteral("考试登录");
inline const QString AlreadyRunning = QStringLiteral("程序已经运行!");
inline const QString NoPapers = QStringLiteral("对不起! 现在没有开设任何考试!");
inline const QString NoClassesAtStartup = QStringLiteral("对不起! 现在不允许任何班级考试! ");
inline const QString NoClassesOpen = QStringLiteral("对不起! 现在没有开放任何考试!");
inline const QString ChoosePaper = QStringLiteral("请选择考试名称!");
inline const QString ChooseClass = QStringLiteral("请选择班级名称!");
inline const QString WrongNumber = QStringLiteral("您的学号有错误,请重新输入!");
inline const QString NumberAndNameMissing = QStringLiteral("请输入您的学号和姓名!");
inline const QString NameMismatch =
    QStringLiteral("您输入的学号和姓名与上次考试时输入的不一致！请检查!");
inline const QString RetestRefused = QStringLiteral("该场考试您已经完成考试,系统不允许重考!");
inline const QString RetestQuestion =
    QStringLiteral("该场考试您已经完成考试!") + QChar(13) +
    QStringLiteral("如果您要重考,已有的成绩将被删除. 您是否要重考?");
inline const QString RetestPasswordTitle = QStringLiteral("请输入重考密码:");
inline const QString ReloginRefused =
    QStringLiteral("该考生已完成考试, 您无法重新登录! 请联系管理员.");
inline const QString ReloginQuestion = QStringLiteral("您是否要重新登录?");
inline const QString ReloginPasswordTitle = QStringLiteral("请输入二次登录密码:");
inline const QString ReviewNotFinished = QStringLiteral("该场考试您尚未完成考试,无法查阅试卷!");
inline const QString LoginNotStored =
    QStringLiteral("无法在考试文件夹中记录您的登录信息, 请通知监考老师!");
} // namespace LoginTexts

// The examination number as it is used in keys and file names: the numeric value of the trimmed
// text as decimal text ("007" gives "7"); empty when that value is 0 or there is no number.
QString normalizeExamNumber(const QString &typed);

// A typed name as it is compared and stored: control characters (CR, LF, NUL, tabs …) become
// blanks, so that no name can add a line to a result profile, and the blanks at both ends go.
QString cleanTypedName(const QString &typed);

// Whether the number field takes a key press: digits, and every key that types no character —
// Enter, Backspace, Delete, cursor keys, Tab and the editing shortcuts (select all, copy, cut,
// paste, undo). A key that would type anything but digits is swallowed with a beep; the field's
// validator holds pasted text to digits.
bool acceptsNumberKey(Qt::KeyboardModifiers modifiers, const QString &text);

// The longest name the name fields take: well below the 255 bytes a stored value may hold, so a
// stored name always reads back whole and the name check of the next login can match it.
inline constexpr int MaxNameLength = 60;

} // namespace exam::candidate
