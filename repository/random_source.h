#pragma once

// The random numbers the programs draw (new document names, question shuffles) come from one
// source per program, passed in so that tests can script the draws.

#include <QRandomGenerator>

namespace exam {

class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // A number uniformly distributed in [0, 1).
    virtual double uniform() = 0;
};

// Seeded once from the system's secure source when it is made; never reseeded.
class SecureRandomSource final : public RandomSource
{
public:
    SecureRandomSource();
    double uniform() override;

private:
    QRandomGenerator m_generator;
};

} // namespace exam
