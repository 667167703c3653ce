#pragma once

// Pieces the class and exam-room windows share: their buttons and labels, and the store of their
// table into the system profile on "确定".

#include "repository/result.h"

#include <QString>
#include <functional>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QLabel;
class QPushButton;
class QWidget;

namespace exam {

// A button that Return in a field never presses: Return finishes the field, it must not press
// "确定" and store the table.
QPushButton *makeWindowButton(const QString &name, const QString &text, const QString &toolTip,
                              QWidget *parent);

// A label that names `buddy` for a screen reader and for its mnemonic.
QLabel *makeBuddyLabel(const QString &name, const QString &text, QWidget *buddy, QWidget *parent);

// Runs `write` (true when stored, else false with the reason) on the system profile, after making
// its folder. A table that was not stored must not look saved: the failure is told as
// "<failureText>:<reason>" and false returned, so the window stays open with the edits.
[[nodiscard]] bool storeSystemProfile(QWidget *window, platform::Dialogs &dialogs,
                                      const QString &systemProfilePath, const QString &failureText,
                                      const std::function<Result()> &write);

} // namespace exam
