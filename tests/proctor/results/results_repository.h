#pragma once

// A repository in a temporary folder with the entries the results window reads: classes, papers
// with thresholds and standard answers, and students' result profiles.

#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class ResultsRepository
{
public:
    using Keys = QList<QPair<QString, QString>>; // key after the number ("DF", "TIME2", "DA1", "")

    ResultsRepository() : m_paths(m_dir.path())
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(m_paths.systemFolder()));
    }

    QString root() const { return m_dir.path(); }
    const exam::RepositoryPaths &paths() const { return m_paths; }

    void addClass(const QString &name, int size, int first, int last)
    {
        m_classes << name;
        exam::ProfileBatch batch(m_paths.systemProfile());
        batch.set(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount"),
                  QString::number(m_classes.size()));
        batch.set(QStringLiteral("ClassName"), QString::number(m_classes.size()), name);
        batch.set(QStringLiteral("ClassCount"), name, QString::number(size));
        batch.set(QStringLiteral("FirstNumber"), name, QString::number(first));
        batch.set(QStringLiteral("LastNumber"), name, QString::number(last));
        QVERIFY(batch.store());
    }

    // Grades A … D; one standard answer text per question (question files "<q>.RTF").
    void addPaper(const QString &name, const QStringList &standardAnswers,
                  const QList<int> &grades = {90, 80, 70, 60})
    {
        m_papers << name;
        exam::ProfileBatch system(m_paths.systemProfile());
        system.set(QStringLiteral("TestName"), QStringLiteral("TestNameCount"),
                   QString::number(m_papers.size()));
        system.set(QStringLiteral("TestName"), QString::number(m_papers.size()), name);
        system.set(QStringLiteral("TestName"), name, QStringLiteral("1"));
        QVERIFY(system.store());
        QVERIFY(m_paths.createPaperFolders(name));
        exam::ProfileBatch paper(m_paths.paperProfile(name));
        const char *gradeKeys[] = {"A_grade", "B_grade", "C_grade", "D_grade"};
        for (int i = 0; i < 4; ++i)
            paper.set(QStringLiteral("MAIN"), QString::fromLatin1(gradeKeys[i]),
                      QString::number(grades.value(i)));
        paper.set(QStringLiteral("MAIN"), QStringLiteral("Question_conut"),
                  u' ' + QString::number(standardAnswers.size()));
        for (int q = 1; q <= standardAnswers.size(); ++q) {
            paper.set(QString::number(q), QStringLiteral("QUESTION"),
                      QStringLiteral("%1.RTF").arg(q));
            paper.set(QString::number(q), QStringLiteral("answer"), standardAnswers.at(q - 1));
        }
        QVERIFY(paper.store());
    }

    QString resultProfile(const QString &paper, const QString &className, int number) const
    {
        return m_paths.resultProfile(paper, className, QString::number(number));
    }

    void writeStudent(const QString &paper, const QString &className, int number, const Keys &keys)
    {
        exam::ProfileBatch batch(resultProfile(paper, className, number));
        for (const auto &[suffix, value] : keys)
            batch.set(className, QString::number(number) + suffix, value);
        QVERIFY(batch.store());
    }

    // A student who handed in: name, score, remaining time and one answer per question.
    void handIn(const QString &paper, const QString &className, int number, const QString &name,
                const QString &score, const QStringList &answers = {},
                const QString &remaining = QStringLiteral("00:10:00"))
    {
        Keys keys{{QString(), name},
                  {QStringLiteral("LAST"), QString()},
                  {QStringLiteral("TIME2"), remaining},
                  {QStringLiteral("DF"), score}};
        for (int q = 1; q <= answers.size(); ++q)
            keys.append({QStringLiteral("DA%1").arg(q), answers.at(q - 1)});
        writeStudent(paper, className, number, keys);
    }

    void writeQuestionFile(const QString &paper, int question, const QByteArray &rtf)
    {
        QFile file(m_paths.paperFile(paper, QStringLiteral("%1.RTF").arg(question)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(rtf);
    }

private:
    QTemporaryDir m_dir;
    exam::RepositoryPaths m_paths;
    QStringList m_classes;
    QStringList m_papers;
};
