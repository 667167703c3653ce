#pragma once

// "Save all" of paper management, apart from any window: writes the folders, the system profile's
// paper roster and every paper's settings keys from the in-memory table.

#include "proctor/authoring/paper_table.h"
#include "repository/repository_paths.h"

#include <QStringList>

namespace exam {

struct SaveAllResult
{
    // One Chinese line per step that failed, naming the folder or file.
    QStringList errors;
    // Names whose folder work failed; they stay pending so that the next save tries again.
    QStringList createdLeft;
    QStringList deletedLeft;

    bool ok() const { return errors.isEmpty(); }
};

// In this order:
// 1. each deleted paper that is not listed again: CHENGJI/<paper> and SHIJUAN/<paper> lose their
//    files and are removed;
// 2. each created paper: CHENGJI/<paper> and SHIJUAN/<paper> are created, or emptied when present;
// 3. the system profile's paper roster (count, names, open flags, then review flags);
// 4. for every listed paper the settings keys of MAIN it owns, never Question_conut, full_mark or
//    Mark.
// A name that could reach outside its paper folder, or a folder reached through a symbolic link,
// is refused and reported; every other step still runs.
SaveAllResult saveAllPapers(const RepositoryPaths &paths, const PaperTable &table,
                            const QStringList &createdPapers, const QStringList &deletedPapers);

} // namespace exam
