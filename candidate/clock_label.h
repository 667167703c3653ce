#pragma once

// The exam clock Lab_TIMER as assistive technology meets it: its accessible name is the time it
// shows, its description "剩余时间", and it tells a screen reader about a new time only when the
// minute changes, not with every second.

#include <QLabel>

namespace exam::candidate {

class ClockLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ClockLabel(QWidget *parent = nullptr);

    // Shows the clock's text; once the minute changes (announcedClockText()), the new time is
    // reported to assistive technology as a change of the label's name.
    void showTime(const QString &text);

signals:
    void announced(const QString &text);
};

} // namespace exam::candidate
