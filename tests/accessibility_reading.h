#pragma once

// Meeting a window as a screen reader does: through Qt's accessibility interfaces only, never by
// pixel. tabWalk() presses Tab as a person would; readAloud() says the tree in order.

#include <QAccessible>
#include <QApplication>
#include <QMetaEnum>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace accessibility_reading {

inline QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

inline QString nameOf(QObject *object)
{
    QAccessibleInterface *face = accessible(object);
    return face ? face->text(QAccessible::Name) : QString();
}

// Presses Tab from the control that has the focus until the focus comes back to it (at most
// `limit` presses), or stays where it is; the controls met, in order, the first one first.
inline QList<QWidget *> tabWalk(int limit = 120)
{
    QList<QWidget *> met;
    QWidget *start = QApplication::focusWidget();
    if (!start)
        return met;
    met.append(start);
    for (int i = 0; i < limit; ++i) {
        QWidget *before = QApplication::focusWidget();
        QTest::keyClick(before, Qt::Key_Tab);
        // A text editor keeps Tab for the text; Ctrl+Tab leaves it.
        if (QApplication::focusWidget() == before)
            QTest::keyClick(before, Qt::Key_Tab, Qt::ControlModifier);
        QWidget *now = QApplication::focusWidget();
        if (!now || now == start || now == met.last()) // back at the start, or Tab is kept
            break;
        met.append(now);
    }
    return met;
}

// The controls of `window` a person can use with the keyboard: shown, enabled and taking Tab.
inline QList<QWidget *> keyboardControls(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() == window && w->isVisibleTo(window) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy())
            controls.append(w);
    }
    return controls;
}

// What a screen reader says on reaching a control: the label that names it (a buddy label, given
// as a relation where the name is the control's value, as for a combo box), then its name.
inline QString heard(QWidget *control)
{
    QAccessibleInterface *face = accessible(control);
    if (!face)
        return QString();
    QStringList parts;
    for (const auto &relation : face->relations(QAccessible::Label)) {
        if (relation.first && relation.first->role() == QAccessible::StaticText)
            parts.append(relation.first->text(QAccessible::Name));
    }
    const QString name = face->text(QAccessible::Name);
    if (!name.isEmpty() && !parts.contains(name))
        parts.append(name);
    return parts.join(u' ');
}

// "objectName「what is heard」" for each control.
inline QStringList heardControls(const QList<QWidget *> &controls)
{
    QStringList lines;
    for (QWidget *w : controls)
        lines.append(QStringLiteral("%1「%2」").arg(w->objectName(), heard(w)));
    return lines;
}

inline QString stateWords(const QAccessible::State &state)
{
    QStringList words;
    if (state.checkable)
        words.append(state.checked ? QStringLiteral("checked") : QStringLiteral("not checked"));
    if (state.selected)
        words.append(QStringLiteral("selected"));
    if (state.disabled)
        words.append(QStringLiteral("disabled"));
    if (state.focused)
        words.append(QStringLiteral("focused"));
    return words.join(u", ");
}

inline QString shortened(QString text, int length = 48)
{
    text.replace(u'\n', u' ').replace(QChar(QChar::ParagraphSeparator), u' ').replace(u'\r', u' ');
    return text.size() > length ? text.left(length) + QStringLiteral("…") : text;
}

inline void readInto(QAccessibleInterface *face, int depth, QStringList &lines)
{
    if (!face || face->state().invisible)
        return;
    const QString name = face->text(QAccessible::Name);
    const QString value = face->text(QAccessible::Value);
    const QString description = face->text(QAccessible::Description);
    const QString states = stateWords(face->state());
    if (!name.isEmpty() || !value.isEmpty() || !description.isEmpty()) {
        QString line =
            QString(depth * 2, u' ') +
            QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(face->role()));
        if (!name.isEmpty())
            line += QStringLiteral(" 「%1」").arg(shortened(name));
        if (!value.isEmpty() && value != name)
            line += QStringLiteral(" value 「%1」").arg(shortened(value));
        if (!description.isEmpty())
            line += QStringLiteral(" (%1)").arg(description);
        if (!states.isEmpty())
            line += QStringLiteral(" [%1]").arg(states);
        lines.append(line);
        ++depth;
    }
    for (int i = 0; i < face->childCount(); ++i)
        readInto(face->child(i), depth, lines);
}

// Everything the accessibility tree of `window` says, in tree order, one line per element that
// says something: role, name, value, description and state.
inline QStringList readAloud(QWidget *window)
{
    QStringList lines;
    readInto(accessible(window), 0, lines);
    return lines;
}

} // namespace accessibility_reading
