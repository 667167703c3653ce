#pragma once

// "examtool check REPOSITORY": the repository check (repository_check.h) on the command line.
// One line per finding on standard output, "file:line: message"; a summary on standard error.

#include "examtool/command_line.h"

namespace exam::tool {

Command checkCommand();

} // namespace exam::tool
