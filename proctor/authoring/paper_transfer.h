#pragma once

// Moving a whole paper between repositories as a plain folder of files: its profile and its RTF
// documents. Results are never moved. These functions only copy files; the window adds an
// imported paper to its list, and its next save writes the paper's entries.

#include "repository/repository_paths.h"

#include <QString>
#include <QStringList>

namespace exam {

struct [[nodiscard]] TransferResult
{
    bool ok = true;
    QString error;  // Chinese text naming the folder or file, when !ok
    QString folder; // the folder that received the files
};

// The paper an imported profile names: its file name up to the first ".cho" (any letter case),
// trimmed. Empty when the name holds no ".cho".
QString paperNameFromProfileFile(const QString &fileName);

// True when `paper` occurs within a listed name, ignoring letter case: such an import is refused
// (this also refuses a name equal to a listed one).
bool importNameClashes(const QStringList &listedNames, const QString &paper);

// Copies every file of SHIJUAN/<paper> into <chosenFolder>/<paper>, which is created when missing;
// files already there are replaced. Fails when the paper has no folder (it was never saved).
TransferResult exportPaperFolder(const RepositoryPaths &paths, const QString &paper,
                                 const QString &chosenFolder);

// Makes CHENGJI/<paper> and SHIJUAN/<paper> (created, or emptied when present) and copies every
// file of the folder that holds `profilePath` into SHIJUAN/<paper>. Importing a paper folder onto
// itself copies nothing and empties nothing.
TransferResult importPaperFolder(const RepositoryPaths &paths, const QString &paper,
                                 const QString &profilePath);

} // namespace exam
