#pragma once

#include <QString>

namespace exam {

// The folder exported workbooks are saved in: the user's documents folder (created when missing),
// else the home folder.
QString defaultExportFolder();

// A file path in `folder` that is not taken yet: "<name>.<extension>", else "<name>
// (2).<extension>",
// "<name> (3).<extension>" … Characters that cannot stand in a file name on any desktop are
// replaced by "_", so a paper or class name cannot lead outside the folder.
QString freeExportPath(const QString &folder, const QString &name, const QString &extension);

} // namespace exam
