#pragma once

#include "proctor/shell/menu_openers.h"

#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam {

// What every administration window needs from the console.
struct ConsoleContext
{
    QString programFolder;
    QString repositoryRoot;
    platform::Dialogs *dialogs = nullptr;
};

// The main menu's openers of this build: each administration window that is part of it, shown
// modally over the menu.
MenuOpeners makeMenuOpeners(const ConsoleContext &context);

} // namespace exam
