#pragma once

// One thing a check found, at a place in the repository.

#include <QList>
#include <QString>

namespace exam::tool {

struct Finding
{
    QString file; // relative to the repository root, with "/" between folders
    int line = 0; // 1-based; 0 when the finding is about the whole file or folder
    QString message;

    // "file:line: message", or "file: message" without a line.
    QString text() const;
    friend bool operator==(const Finding &, const Finding &) = default;
};

// Orders findings by file, then line, keeping the order of findings at one place.
void sortFindings(QList<Finding> &findings);

} // namespace exam::tool
