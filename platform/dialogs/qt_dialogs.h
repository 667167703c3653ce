#pragma once

#include "dialogs.h"

namespace exam::platform {

// The real dialogs: QMessageBox, QInputDialog, QFileDialog, QColorDialog. Message boxes carry the
// application's display name as their title.
class QtDialogs final : public Dialogs
{
public:
    void message(QWidget *parent, const QString &text, Icon icon = Icon::None,
                 const QString &title = {}) override;
    bool okCancel(QWidget *parent, const QString &text, Button defaultButton = Button::Ok,
                  Icon icon = Icon::None, const QString &title = {}) override;
    bool yesNo(QWidget *parent, const QString &text, Button defaultButton = Button::Yes,
               Icon icon = Icon::Question) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText = {}) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &filter) override;
    QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;
};

} // namespace exam::platform
