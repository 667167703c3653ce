#pragma once

#include <QObject>

#include <functional>

namespace exam {

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
