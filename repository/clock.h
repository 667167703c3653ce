#pragma once

// The time of day the programs stamp into result profiles, passed in so tests can fix it.

#include <QDateTime>

namespace exam {

class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace exam
