#pragma once

#include <QString>

namespace exam {

// The console-wide name of the paper last shown in the paper list. Paper management sets it; the
// paper editor and the document export work on it. One per console process, used from the user
// interface thread only.
QString currentPaper();
void setCurrentPaper(const QString &paper);

} // namespace exam
