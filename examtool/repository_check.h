#pragma once

// The check of a whole repository, for the people who look after a school's repository. It only
// reads, and reports what the two programs would read otherwise than the school meant, or not at
// all:
// - profiles without a byte order mark whose encoding had to be guessed (GB18030 or UTF-8);
// - class and paper names the console would refuse as new names, names listed twice or differing
//   only in letter case, and list entries that are missing;
// - papers listed without their folder, profile or results folder, and paper or results folders
//   that no listed paper owns;
// - classes without a first or last examination number, or whose first number lies above the last;
// - question and explanation files a paper names that are not in its folder;
// - result profiles that belong to no listed class, or whose number lies outside its class's range;
// - values that are not numbers, or lie beyond the 16-bit range, where numbers are expected.

#include "examtool/finding.h"

#include <QList>
#include <QString>

namespace exam::tool {

struct RepositoryCheck
{
    bool readable = false;   // false when `root` is missing or holds no repository; see `error`
    QString error;           // Chinese text when !readable
    QList<Finding> findings; // sorted by file and line
};

// Checks the repository below `root`. A repository is a folder that holds at least one of "sys",
// "SHIJUAN" and "CHENGJI" (in any letter case); a fresh one without sys/sys.cho is clean.
RepositoryCheck checkRepository(const QString &root);

} // namespace exam::tool
