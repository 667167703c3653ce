#include "proctor/classes/window_parts.h"

#include "platform/dialogs/dialogs.h"
#include "repository/repository_paths.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace exam {

QPushButton *makeWindowButton(const QString &name, const QString &text, const QString &toolTip,
                              QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setToolTip(toolTip);
    result->setAutoDefault(false);
    return result;
}

QLabel *makeBuddyLabel(const QString &name, const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    result->setBuddy(buddy);
    // A list is not named by its buddy label for assistive technology; name it here.
    if (qobject_cast<QAbstractItemView *>(buddy))
        buddy->setAccessibleName(text);
    return result;
}

bool storeSystemProfile(QWidget *window, platform::Dialogs &dialogs,
                        const QString &systemProfilePath, const QString &failureText,
                        const std::function<Result()> &write)
{
    Result stored = ensureFolder(QFileInfo(systemProfilePath).absolutePath());
    if (stored)
        stored = write();
    if (stored)
        return true;
    dialogs.message(window, QStringLiteral("%1:%2").arg(failureText, stored.message()),
                    platform::Dialogs::Icon::Critical);
    return false;
}

} // namespace exam
