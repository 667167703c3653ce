#pragma once

// After a hand-in the result profile is read back: the attempt only counts as stored when TIME2,
// every answer and the score are there as they were written.

#include "repository/result_profile.h"

#include <QString>

namespace exam::candidate {

bool handInIsStored(const QString &resultProfilePath, const QString &className,
                    const QString &number, const exam::HandIn &handIn);

} // namespace exam::candidate
