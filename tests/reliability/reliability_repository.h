#pragma once

// A temporary repository laid out for the reliability tests: one class numbered 1 … 60, one open
// paper of reliability::Questions questions (with their question files), and the paper's results
// folder.

#include "attempt_pattern.h"

#include "repository/profile_file.h"
#include "repository/profile_values.h"
#include "repository/repository_paths.h"
#include "repository/system_profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace reliability {

inline constexpr int Students = 60;

// The standard answer of question k: what client 0 answers in round 0.
inline QString standardAnswer(int question)
{
    return exam::shortestNumberText(roundAnswer(0, question, 0));
}

// Lays out the class, the paper and its folders in the (empty) folder `root`.
inline void layOutRepository(const QString &root)
{
    const exam::RepositoryPaths paths(root);
    QVERIFY(paths.createSystemFolder());
    QVERIFY(paths.createPaperFolders(Paper));
    const QString system = paths.systemProfile();
    QVERIFY(exam::writeClassTable(system, {{ClassName, qint16(Students), 1, qint16(Students)}}));
    QVERIFY(exam::writePaperRoster(system, {{Paper, QStringLiteral("1"), QStringLiteral("1")}}));
    QVERIFY(exam::writeExamRooms(system, {{Paper, true, {true}}}, {ClassName}));

    exam::ProfileBatch paper(paths.paperProfile(Paper));
    const QString main = QStringLiteral("MAIN");
    paper.set(main, QStringLiteral("TESTTIME"), QStringLiteral("60"));
    paper.set(main, QStringLiteral("Question_conut"), QStringLiteral(" %1").arg(Questions));
    paper.set(main, QStringLiteral("Mark"), QStringLiteral(" 5"));
    paper.set(main, QStringLiteral("CHANGE_QUESTION_SORT"), QStringLiteral("0"));
    paper.set(main, QStringLiteral("DISPLAY_SCORE"), QStringLiteral("1"));
    // Retests and re-logins are allowed with the password "1".
    paper.set(main, QStringLiteral("RETESTPASSWD"), QStringLiteral("1"));
    paper.set(main, QStringLiteral("RELOGINPASSWD"), QStringLiteral("1"));
    for (int k = 1; k <= Questions; ++k) {
        const QString section = QString::number(k);
        const QString question = QStringLiteral("q%1.RTF").arg(k);
        const QString explanation = QStringLiteral("e%1.RTF").arg(k);
        paper.set(section, QStringLiteral("QUESTION"), question);
        paper.set(section, QStringLiteral("explain"), explanation);
        paper.set(section, QStringLiteral("answer"), standardAnswer(k));
        for (const QString &name : {question, explanation}) {
            QFile file(paths.paperFile(Paper, name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 " + name.toLatin1() +
                       "\\par}");
        }
    }
    QVERIFY(paper.store());
}

// A repository laid out as above in a temporary folder.
class ReliabilityRepository
{
public:
    ReliabilityRepository() : m_paths(m_dir.path())
    {
        QVERIFY(m_dir.isValid());
        layOutRepository(m_dir.path());
    }

    QString root() const { return m_dir.path(); }
    const exam::RepositoryPaths &paths() const { return m_paths; }
    QString resultProfile(int client) const
    {
        return m_paths.resultProfile(Paper, ClassName, studentNumber(client));
    }

private:
    QTemporaryDir m_dir;
    exam::RepositoryPaths m_paths;
};

// A whole number from the environment, or `fallback` when it is unset or not a positive number.
inline int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace reliability
