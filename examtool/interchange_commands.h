#pragma once

// "examtool import" and "examtool export": questions of other programs into a paper, and a paper
// out to Moodle XML, GIFT or PDF. They need Qt Gui (documents, fonts), so they are a library of
// their own beside the Core-only commands; main() starts a QGuiApplication for them.

#include "examtool/command_line.h"

namespace exam::tool {

Command importCommand();
Command exportCommand();

// commands() and the two above.
QList<Command> interchangeCommands();

} // namespace exam::tool
