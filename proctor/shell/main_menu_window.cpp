#include "proctor/shell/main_menu_window.h"

#include "platform/dialogs/dialogs.h"
#include "platform/widgets/window_building.h"
#include "proctor/classes/help_key.h"
#include "proctor/shell/console_pictures.h"
#include "proctor/shell/picture_button.h"

#include <QEvent>
#include <QLabel>

namespace exam {

namespace {

const QSize WindowSize(560, 400);
const QSize ButtonSize(220, 56);
const QRect BannerArea(30, 18, 500, 64);
constexpr int FirstRowTop = 104;
constexpr int RowStep = 70;
constexpr int LeftColumn = 40;
constexpr int RightColumn = 300;

} // namespace

QString MainMenuWindow::buttonName(int button)
{
    switch (button) {
    case 1: return QStringLiteral("试卷管理");
    case 2: return QStringLiteral("考场管理");
    case 3: return QStringLiteral("班级管理");
    case 4: return QStringLiteral("成绩管理");
    case 5: return QStringLiteral("设置密码");
    case 6: return QStringLiteral("帮助");
    case 7: return QStringLiteral("退出");
    default: return {};
    }
}

MainMenuWindow::MainMenuWindow(MenuOpeners openers, platform::Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window), m_openers(std::move(openers)), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("考务管理"));
    setWindowTitle(QStringLiteral("教师端"));
    setFixedSize(WindowSize);

    m_background = platform::makePicture(QStringLiteral("Image2"), drawMenuBackground(WindowSize),
                                         QRect(QPoint(0, 0), WindowSize), this);
    m_background->setMouseTracking(true);
    m_background->installEventFilter(this);

    auto *banner = platform::makePicture(QStringLiteral("Image1"),
                                         drawMenuBanner(BannerArea.size()), BannerArea, this);
    banner->setMouseTracking(true);
    banner->installEventFilter(this);

    for (int i = 1; i <= MenuHighlight::ButtonCount; ++i) {
        const QString name = buttonName(i);
        auto *button = new PictureButton(name, drawMenuButtonPicture(name, false, ButtonSize),
                                         drawMenuButtonPicture(name, true, ButtonSize), this);
        button->setObjectName(QStringLiteral("Imgcmd_%1").arg(i));
        const int row = (i - 1) / 2;
        const bool lastAlone = i == MenuHighlight::ButtonCount && i % 2 == 1;
        const int left = lastAlone ? (WindowSize.width() - ButtonSize.width()) / 2
                                   : (i % 2 == 1 ? LeftColumn : RightColumn);
        button->setGeometry(QRect(QPoint(left, FirstRowTop + row * RowStep), ButtonSize));
        button->installEventFilter(this);
        connect(button, &PictureButton::clicked, this, [this, i] { trigger(i); });
        m_buttons << button;
    }
}

PictureButton *MainMenuWindow::button(int button) const
{
    return button >= 1 && button <= m_buttons.size() ? m_buttons.at(button - 1) : nullptr;
}

bool MainMenuWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        const auto index = m_buttons.indexOf(qobject_cast<PictureButton *>(watched));
        if (index >= 0)
            showChanges(m_highlight.hoverButton(static_cast<int>(index) + 1));
        else
            showChanges(m_highlight.hoverBackground());
    }
    return QWidget::eventFilter(watched, event);
}

void MainMenuWindow::showChanges(const QList<int> &changed)
{
    for (int i : changed)
        button(i)->setHighlighted(m_highlight.isHighlighted(i));
}

void MainMenuWindow::trigger(int button)
{
    switch (button) {
    case 1: open(m_openers.papers, button); break;
    case 2: open(m_openers.examRooms, button); break;
    case 3: open(m_openers.classes, button); break;
    case 4: open(m_openers.results, button); break;
    case 5: open(m_openers.password, button); break;
    case 6: sendHelpKey(this); break;
    case 7: emit exitRequested(); break;
    default: break;
    }
}

void MainMenuWindow::open(const MenuOpeners::Opener &opener, int button)
{
    if (!opener) {
        m_dialogs.message(this, QStringLiteral("“%1”功能暂未提供。").arg(buttonName(button)),
                          platform::Dialogs::Icon::Information);
        return;
    }
    opener(this);
}

} // namespace exam
