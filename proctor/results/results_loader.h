#pragma once

// Reading one paper's results for one class from the repository. Every student's result profile is
// read once, as a whole, and the students are read on several threads;
// the rest is computed from what was read, so the figures always come from one complete pass.

#include "proctor/results/results_data.h"
#include "repository/profile_file.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>

namespace exam {

// The papers and classes the results window offers, in the system profile's order.
struct ResultsChoices
{
    QStringList papers;
    QStringList classes;
};
ResultsChoices readResultsChoices(const QString &root);

struct ResultsRequest
{
    QString root;
    QString paper;     // trimmed before use
    QString className; // trimmed before use

    friend bool operator==(const ResultsRequest &, const ResultsRequest &) = default;
};

// Finds the files of one folder by name, ignoring letter case, from a single listing of the folder
// (a class of hundreds of students costs one listing, not one per student).
class FolderIndex
{
public:
    explicit FolderIndex(const QString &folder);
    // The path of the file called `fileName` (any letter case), or an empty text when there is
    // none.
    QString find(const QString &fileName) const;

private:
    QString m_folder;
    QSet<QString> m_exactNames;
    QHash<QString, QString> m_byFoldedName;
};

// Reads a class's result profiles, the class range from the system profile and the thresholds,
// question count, standard answers, marks and question files from the paper profile, and computes
// the tables. `cancel` (optional) stops the reading early; the result is then incomplete and must
// not be shown. `threads` 0 uses every core for a large class (one thread per 128 students at
// most).
ResultsData loadResults(const ResultsRequest &request, const std::atomic<bool> *cancel = nullptr,
                        int threads = 0);

// One student of a loaded result profile: a missing file or keys give empty texts, the score
// "-1" and answers 0.
StudentReading readStudent(const ProfileSnapshot &resultProfile, const QString &className,
                           const QString &number, int questionCount);

} // namespace exam
