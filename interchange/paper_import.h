#pragma once

// Imported questions stored in a paper of the repository, after its last question, as the paper
// editor's "确定" stores questions: two RTF documents per question under new document names in the
// paper folder, then the paper profile (Question_conut, full_mark, Mark and the question
// sections). The documents go first, so a client reading the paper meanwhile never meets a
// question whose file is not there yet; when a step fails the documents written are removed and
// the profile is as it was.

#include "interchange/interchange_question.h"

#include <QList>
#include <QString>
#include <functional>

namespace exam {
class RandomSource;
}

namespace exam::interchange {

struct PaperImportOutcome
{
    bool ok = false;
    int added = 0; // questions stored
    QString error; // Chinese text when !ok
};

// `progress` (may be empty) hears of every question stored: (done, total).
PaperImportOutcome appendQuestionsToPaper(const QString &repositoryRoot, const QString &paper,
                                          const QList<InterchangeQuestion> &questions,
                                          RandomSource &random,
                                          const std::function<void(int, int)> &progress = {});

} // namespace exam::interchange
