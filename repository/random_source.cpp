#include "repository/random_source.h"

namespace exam {

SecureRandomSource::SecureRandomSource() : m_generator(QRandomGenerator::securelySeeded()) {}

double SecureRandomSource::uniform()
{
    return m_generator.generateDouble();
}

} // namespace exam
