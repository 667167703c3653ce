#pragma once

#include "proctor/shell/menu_highlight.h"
#include "proctor/shell/menu_openers.h"

#include <QList>
#include <QWidget>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QLabel;

namespace exam {

class PictureButton;

// 考务管理, the console's home: seven picture buttons over a background picture. The button
// under the mouse is highlighted; a click opens its window through the openers, asks for help
// (F1) or asks to end the program.
class MainMenuWindow : public QWidget
{
    Q_OBJECT

public:
    // The name written in button 1 … 7.
    static QString buttonName(int button);

    MainMenuWindow(MenuOpeners openers, platform::Dialogs &dialogs, QWidget *parent = nullptr);

    PictureButton *button(int button) const;
    const MenuHighlight &highlight() const { return m_highlight; }

signals:
    void exitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void trigger(int button);
    void open(const MenuOpeners::Opener &opener, int button);
    void showChanges(const QList<int> &changed);

    MenuOpeners m_openers;
    platform::Dialogs &m_dialogs;
    MenuHighlight m_highlight;
    QLabel *m_background = nullptr; // Image2
    QList<PictureButton *> m_buttons;
};

} // namespace exam
