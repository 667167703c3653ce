#include "proctor/classes/help_key.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace exam {

void sendHelpKey(QWidget *from)
{
    QWidget *target = from ? from->window() : QApplication::activeWindow();
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
}

} // namespace exam
