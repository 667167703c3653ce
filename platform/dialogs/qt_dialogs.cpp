#include "qt_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace exam::platform {

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Warning: return QMessageBox::Warning;
    case Dialogs::Icon::Critical: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    case Dialogs::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(Dialogs::Button button)
{
    switch (button) {
    case Dialogs::Button::Ok: return QMessageBox::Ok;
    case Dialogs::Button::Cancel: return QMessageBox::Cancel;
    case Dialogs::Button::Yes: return QMessageBox::Yes;
    case Dialogs::Button::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

// The window a box belongs to: the one given, else the window the user works in.
QWidget *owner(QWidget *parent)
{
    return parent ? parent : QApplication::activeWindow();
}

// The system's texts break lines with CR (alone or before LF); a label breaks only on LF.
QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QMessageBox::StandardButton ask(QWidget *parent, const QString &text, Dialogs::Icon icon,
                                QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton,
                                const QString &title = {})
{
    QMessageBox box(toQt(icon), title.isEmpty() ? QApplication::applicationDisplayName() : title,
                    withLineFeeds(text), buttons, owner(parent));
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(buttons.testFlag(QMessageBox::Cancel) ? QMessageBox::Cancel
                        : buttons.testFlag(QMessageBox::No)   ? QMessageBox::No
                                                              : QMessageBox::Ok);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void QtDialogs::message(QWidget *parent, const QString &text, Icon icon, const QString &title)
{
    ask(parent, text, icon, QMessageBox::Ok, QMessageBox::Ok, title);
}

bool QtDialogs::okCancel(QWidget *parent, const QString &text, Button defaultButton, Icon icon,
                         const QString &title)
{
    return ask(parent, text, icon, QMessageBox::Ok | QMessageBox::Cancel, toQt(defaultButton),
               title) == QMessageBox::Ok;
}

bool QtDialogs::yesNo(QWidget *parent, const QString &text, Button defaultButton, Icon icon)
{
    return ask(parent, text, icon, QMessageBox::Yes | QMessageBox::No, toQt(defaultButton)) ==
           QMessageBox::Yes;
}

std::optional<QString> QtDialogs::input(QWidget *parent, const QString &prompt,
                                        const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(owner(parent), title, withLineFeeds(prompt),
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtDialogs::openFile(QWidget *parent, const QString &title, const QString &folder,
                            const QString &filter)
{
    return QFileDialog::getOpenFileName(owner(parent), title, folder, filter);
}

QString QtDialogs::chooseFolder(QWidget *parent, const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(owner(parent), title, folder);
}

std::optional<QColor> QtDialogs::chooseColor(QWidget *parent, const QColor &initial)
{
    const QColor color = QColorDialog::getColor(initial, owner(parent));
    if (!color.isValid())
        return std::nullopt;
    return color;
}

} // namespace exam::platform
