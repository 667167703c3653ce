#pragma once

// Driving a real window as a person would: find a control by its objectName, click it.

#include <QAbstractButton>
#include <QCheckBox>
#include <QTest>
#include <QWidget>

namespace window_driving {

template <typename T> T *control(QWidget &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// The control of that objectName, or nullptr (with a warning naming it) for a test that checks
// whether it is there.
template <typename T = QWidget> T *findControl(const QWidget &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}

// A check box reacts only on its box and caption, which may not cover its middle.
inline void click(QWidget &window, const QString &name)
{
    QAbstractButton *button = control<QAbstractButton>(window, name);
    const QPoint at = qobject_cast<QCheckBox *>(button) ? QPoint(6, button->height() / 2)
                                                        : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

} // namespace window_driving
