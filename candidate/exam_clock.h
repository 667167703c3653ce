#pragma once

// The exam clock's text. The time left is held in seconds; its text is "hh:mm:ss" with at least
// two hour digits, and more when a time limit runs beyond a day (hours are not wrapped at 24).

#include <QString>

#include <optional>

namespace exam::candidate {

// The time left at the start of a fresh exam; negative limits count as 0.
int secondsForMinutes(int minutes);

QString clockText(int seconds);

// Reads back a saved time: hours, minutes and seconds separated by colons ("1:29:00", "01:29:00",
// "30:00:00"); seconds may be missing ("1:29"). Nothing for text that is not such a time.
std::optional<int> parseClockText(const QString &text);

// The part of the clock's text a screen reader is told about as it changes: hours and minutes
// ("00:09" for "00:09:59"), so the clock is announced once a minute. Text that is not a time is
// told whole.
QString announcedClockText(const QString &text);

} // namespace exam::candidate
