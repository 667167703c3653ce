#pragma once

// "Save all" of paper management, apart from any window: writes the folders, the system profile's
// paper roster and every paper's settings keys from the in-memory table.

#include "proctor/authoring/paper_table.h"
#include "repository/repository_paths.h"

#include <QStringList>

namespace exam {

struct [[nodiscard]] SaveAllResult
{
    // One Chinese line per step that failed: "试卷“<name>”: <why>", or the paper list's failure.
    QStringList errors;
    // The papers (listed, created or deleted) whose own folder or settings work failed. Every other
    // paper was saved: one paper's failure never stops another's save.
    QStringList failedPapers;
    // Names whose folder work failed; they stay pending so that the next save tries again, and
    // leave the list once that succeeds.
    QStringList createdLeft;
    QStringList deletedLeft;

    bool ok() const { return errors.isEmpty(); }
    // Whether the paper named `name` (letter case ignored) had nothing fail.
    bool savedPaper(const QString &name) const;
};

// In this order:
// 1. each deleted paper that is not listed again: CHENGJI/<paper> and SHIJUAN/<paper> lose their
//    files and are removed;
// 2. each created paper: CHENGJI/<paper> and SHIJUAN/<paper> are created, or emptied when present;
// 3. the system profile's paper roster (count, names, open flags, then review flags);
// 4. for every listed paper the settings keys of MAIN it owns, never Question_conut or full_mark;
//    a paper whose folders were just created also gets Mark, the default mark its row shows.
// A name that could reach outside its paper folder, or a folder reached through a symbolic link,
// is refused and reported; every other step still runs.
SaveAllResult saveAllPapers(const RepositoryPaths &paths, const PaperTable &table,
                            const QStringList &createdPapers, const QStringList &deletedPapers);

} // namespace exam
