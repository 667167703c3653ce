#include "proctor/shell/help_key_filter.h"

#include "platform/desktop/desktop_services.h"
#include "platform/dialogs/dialogs.h"

#include <QKeyEvent>
#include <QString>

namespace exam {

void openConsoleHelp(const QString &programFolder, platform::Dialogs &dialogs, QWidget *parent)
{
    if (!platform::openHelp(programFolder))
        dialogs.message(parent, QString::fromUtf16(HelpMissingMessage),
                        platform::Dialogs::Icon::Warning);
}

HelpKeyFilter::HelpKeyFilter(std::function<void()> openHelp, QObject *parent)
    : QObject(parent), m_openHelp(std::move(openHelp))
{}

bool HelpKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            if (m_openHelp)
                m_openHelp();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace exam
