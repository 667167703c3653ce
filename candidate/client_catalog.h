#pragma once

// What the login window lists, read from the system profile at the moment it is asked: the papers
// open for taking or for review, their two flags, and the classes admitted to a paper.

#include "repository/system_profile.h"

#include <QString>
#include <QStringList>

namespace exam {
class ProfileSnapshot;
}

namespace exam::candidate {

struct PaperFlags
{
    int open = 0;   // TestName/<paper>: 1 = open for taking
    int review = 0; // LetViewTest/<paper>: 1 = finished papers may be reviewed
};

// The papers whose open flag or review flag is 1, in the roster's order.
QStringList listedPapers(const exam::ProfileSnapshot &systemProfile);

PaperFlags paperFlags(const exam::ProfileSnapshot &systemProfile, const QString &paper);

// The classes, in list order, admitted to `paper` as `reader` sees a missing admission entry.
QStringList admittedClasses(const exam::ProfileSnapshot &systemProfile, const QString &paper,
                            exam::AdmissionReader reader);

// The number of classes in the class list (ClassNameCount, default "0").
int classCount(const exam::ProfileSnapshot &systemProfile);

} // namespace exam::candidate
