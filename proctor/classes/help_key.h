#pragma once

class QWidget;

namespace exam {

// Every "帮助" button of the console presses F1 on its own window; the console's key filter
// (installed by the program) turns that key into opening the help file, wherever it was pressed.
void sendHelpKey(QWidget *from);

} // namespace exam
