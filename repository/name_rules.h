#pragma once

// Names typed by the teacher become folder names, file names, section names and keys. A new or
// imported name is refused, with a reason for the message box and nothing written, when it:
// - is empty after trimming, longer than 60 characters, "." or "..";
// - holds \ / : * ? " < > | [ ] = or a control character;
// - would collide with the system profile's own entries (the section and count names, and for a
//   paper a name made only of digits, which is a numbered key).
// Names already in a repository are used as they are.

#include <QString>

namespace exam {

struct [[nodiscard]] NameCheck
{
    bool ok = true;
    QString reason; // Chinese text for a message box when !ok
    explicit operator bool() const { return ok; }
};

// `name` is checked as it will be stored: trimmed of blanks.
NameCheck checkPaperName(const QString &name);
NameCheck checkClassName(const QString &name);

} // namespace exam
