#pragma once

// Where the records of the repository lie, and how paths are found on a case-sensitive file system.
//
// The repository root is the folder of the running program, trimmed of blanks. Below it:
//   sys/sys.cho                              system profile
//   SHIJUAN/<paper>/<paper>.cho              paper profile (question files beside it)
//   CHENGJI/<paper>/<class><number>.cho      result profile of one student
//   CHENGJI/<paper>/已删除/                   results the console deleted, kept for recovery
// Paper and class names are trimmed of blanks before they go into a path. Every part below the root
// is looked up by its exact name first, else by a case-insensitive match in its folder (the
// programs and older repositories spell "sys", "SHIJUAN", "CHENGJI" and file names in any case).
// A part that does not exist yet keeps the spelling given here, so new folders are created as
// "sys", "SHIJUAN" and "CHENGJI".

#include "repository/result.h"

#include <QString>
#include <QStringList>

namespace exam {

// A name as one path part that stays inside its folder: "/" and NUL are replaced by look-alike
// characters, an empty name and "." or ".." by full-width forms. Such names cannot name a folder on
// the programs' original platform, so no stored data is found under another spelling; this only
// keeps a broken name from reaching the folder above or the folder itself.
QString safePathPart(const QString &name);

// The repository root for a program folder (for example QCoreApplication::applicationDirPath()).
QString repositoryRootFromProgramFolder(const QString &programFolder);

// Resolves `parts` below `base` one by one (each made safe with safePathPart()), ignoring letter
// case where the exact name is missing. Missing parts are appended as given. `base` itself is used
// as it is.
QString resolvePath(const QString &base, const QStringList &parts);

// Creates `path` and any missing parents. Fails (with a Chinese text) when the folder does not
// exist afterwards.
Result ensureFolder(const QString &path);

class RepositoryPaths
{
public:
    explicit RepositoryPaths(const QString &root);

    const QString &root() const { return m_root; }

    QString systemFolder() const;                      // <root>/sys
    QString systemProfile() const;                     // <root>/sys/sys.cho
    QString systemFile(const QString &fileName) const; // <root>/sys/<fileName>, e.g. "paper.dot"
    QString papersFolder() const;                      // <root>/SHIJUAN
    QString paperFolder(const QString &paper) const;
    QString paperProfile(const QString &paper) const;
    QString paperFile(const QString &paper, const QString &fileName) const;
    QString resultsFolder() const; // <root>/CHENGJI
    QString paperResultsFolder(const QString &paper) const;
    // CHENGJI/<paper>/已删除: a deleted result is moved here. Readers of results look only at the
    // files directly in the results folder, so nothing in this sub-folder counts as a result.
    QString deletedResultsFolder(const QString &paper) const;
    // `number` is the examination number as text ("17"); class and number are run together.
    QString resultProfile(const QString &paper, const QString &className,
                          const QString &number) const;

    // Creates SHIJUAN/<paper> and CHENGJI/<paper> (and the parents) for a new paper.
    Result createPaperFolders(const QString &paper) const;
    // Creates the sys folder.
    Result createSystemFolder() const;

private:
    QString m_root;
};

} // namespace exam
