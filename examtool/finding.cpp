#include "examtool/finding.h"

#include <algorithm>

namespace exam::tool {

QString Finding::text() const
{
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file, QString::number(line), message);
    return QStringLiteral("%1: %2").arg(file, message);
}

void sortFindings(QList<Finding> &findings)
{
    std::stable_sort(findings.begin(), findings.end(), [](const Finding &a, const Finding &b) {
        const int byFile = a.file.compare(b.file);
        return byFile != 0 ? byFile < 0 : a.line < b.line;
    });
}

} // namespace exam::tool
