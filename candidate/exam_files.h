#pragma once

// Where the exam reads the paper's files from. In place from the repository when the program runs
// locally; otherwise from copies in the client's local folder: the paper profile copied at the
// start, each question and explanation file copied the first time it is shown, and the copies
// removed after a stored hand-in.

#include "repository/repository_paths.h"

#include <QSet>
#include <QString>

namespace exam::candidate {

class ExamFiles
{
public:
    ExamFiles(const QString &repositoryRoot, const QString &paperName, bool runsLocally,
              const QString &localCacheFolder);

    // Readies the source and returns the paper profile to read. When the local folder cannot be
    // made ready or the profile cannot be copied, the exam reads in place instead (runsLocally()
    // turns true) so the student can still sit it.
    QString preparePaperProfile();

    bool runsLocally() const { return m_runsLocally; }

    // The file to load for a question or explanation document named in the paper profile; copied
    // into the local folder the first time, and from then on read from that copy without looking
    // at the repository. Empty, with a text for the student in `error`, when the name is not a
    // plain file name or the file cannot be found or copied.
    QString documentPath(const QString &fileName, QString *error = nullptr);

    // Removes the local copies ("*.rtf" and "*.cho") after the hand-in was stored.
    void removeLocalCopies() const;

private:
    exam::RepositoryPaths m_paths;
    QString m_paperName;
    bool m_runsLocally;
    QString m_cacheFolder;
    QSet<QString> m_copied;
};

// A document name from a profile must name a file in the paper folder, not a path.
bool isPlainFileName(const QString &name);

} // namespace exam::candidate
