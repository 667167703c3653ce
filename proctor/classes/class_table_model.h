#pragma once

#include "repository/system_profile.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace exam {

inline const QString LastNumberTooSmallMessage = QStringLiteral("您输入的结束考号太小,请重新输入!");
inline const QString NumberOutOfRangeMessage =
    QStringLiteral("考号和人数必须在-32768到32767之间,请重新输入!");
inline const QString DuplicateClassMessage =
    QStringLiteral("您输入的班级名称与原有班级重名,该操作无效!");
inline const QString LastClassMessage = QStringLiteral("最后一个班级不能删除！");

// A number typed into a class field, by the repository's number rule, or nothing when it lies
// outside the 16-bit range the system profile can hold.
std::optional<qint16> classFieldNumber(const QString &text);

// State of the class window: the class table being edited, the selected class and the texts of
// the four fields (name, size, first and last number). Every edit stays here until the window
// writes classes() on "确定".
//
// The fields keep one rule: size <= last - first + 1. Editing the first number moves the last
// number up when needed; a last number that would break the rule is refused.
class ClassTableModel : public QObject
{
    Q_OBJECT

public:
    enum class Field { Name, Size, First, Last }; // Text1 … Text4

    // What an edit asks the window to show: a refusal message, and whether the field must be
    // given the focus again with its text selected.
    struct Refusal
    {
        QString message;
        bool refocus = false;
        bool isRefused() const { return !message.isEmpty(); }
    };

    explicit ClassTableModel(QObject *parent = nullptr);

    // Replaces the table and selects the first class (when there is one).
    void load(QList<ClassEntry> classes);
    const QList<ClassEntry> &classes() const { return m_classes; }
    QStringList names() const;
    qsizetype count() const { return m_classes.size(); }

    int selected() const { return m_selected; }
    void select(int row);

    QString fieldText(Field field) const;
    // The text of a field as the user typed it, before any handler below looks at it.
    void setFieldText(Field field, const QString &text);

    Refusal sizeConfirmed();
    // Every change of the first number's text.
    Refusal firstNumberChanged(const QString &text);
    void firstNumberLeft();
    void firstNumberConfirmed();
    Refusal lastNumberConfirmed();

    // The answer of the new-class input box (nothing when it was cancelled). Returns the refusal
    // message when the name is refused; an empty answer adds nothing and says nothing.
    QString addClass(const std::optional<QString> &answer);
    // Removes the selected class (the first one when none is selected); nothing is selected then.
    void removeSelected();
    void moveUp();
    void moveDown();

signals:
    void namesChanged();
    void selectionChanged(int row);
    void fieldsChanged();

private:
    ClassEntry *current();
    void showClass(int row);
    void setText(Field field, const QString &text);
    struct LastFollow
    {
        bool needed = false;
        bool inRange = true;
        qint64 value = 0;
    };
    // Whether the first number `first` pushes the last number up, and to what.
    LastFollow lastFollowing(qint64 first) const;
    void swapRows(int row, int other);

    QList<ClassEntry> m_classes;
    int m_selected = -1;
    QString m_texts[4];
};

} // namespace exam
