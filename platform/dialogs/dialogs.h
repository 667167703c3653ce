#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace exam::platform {

// Every message box, input box and common dialog of both programs goes through this interface, so
// that each flow with a question to the user can be scripted in tests (FakeDialogs) and shown for
// real in the programs (QtDialogs). All boxes are modal; the title is the program's name unless a
// caller gives one. `parent` is the window a box belongs to; presentation classes, which hold no
// widget, give nullptr, and the box then belongs to the window the user works in (the active one).
class Dialogs
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Button { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    // A box with one OK button. An empty title is the program's name.
    virtual void message(QWidget *parent, const QString &text, Icon icon = Icon::None,
                         const QString &title = {}) = 0;
    // OK/Cancel; true when the user chose OK.
    virtual bool okCancel(QWidget *parent, const QString &text, Button defaultButton = Button::Ok,
                          Icon icon = Icon::None, const QString &title = {}) = 0;
    // Yes/No; true when the user chose Yes.
    virtual bool yesNo(QWidget *parent, const QString &text, Button defaultButton = Button::Yes,
                       Icon icon = Icon::Question) = 0;
    // An input box; nothing when the user cancelled.
    virtual std::optional<QString> input(QWidget *parent, const QString &prompt,
                                         const QString &title, const QString &defaultText = {}) = 0;
    // A file-open dialog; an empty path when the user cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &folder,
                             const QString &filter) = 0;
    // A folder dialog; an empty path when the user cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) = 0;
    // A colour dialog; nothing when the user cancelled.
    virtual std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) = 0;
};

} // namespace exam::platform
