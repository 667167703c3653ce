#include "proctor/authoring/current_paper.h"

namespace exam {

namespace {
QString &currentPaperName()
{
    static QString name;
    return name;
}
} // namespace

QString currentPaper()
{
    return currentPaperName();
}

void setCurrentPaper(const QString &paper)
{
    currentPaperName() = paper;
}

} // namespace exam
