#pragma once

#include <QObject>

#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QString;
class QWidget;

namespace exam {

inline constexpr auto HelpMissingMessage = u"找不到帮助文件 help.chm,或者无法打开它。";

// Opens the help file of the program folder with the desktop's handler, or says why not.
void openConsoleHelp(const QString &programFolder, platform::Dialogs &dialogs, QWidget *parent);

// Installed on the application: F1 pressed in any console window (or sent by a "帮助" button)
// opens the help. Only key presses that reach a widget count, so one press opens it once.
class HelpKeyFilter : public QObject
{
    Q_OBJECT

public:
    explicit HelpKeyFilter(std::function<void()> openHelp, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_openHelp;
};

} // namespace exam
