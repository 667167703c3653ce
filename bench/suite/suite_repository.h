#pragma once

// A repository for the side-by-side benchmarks: one class of `students` students, all handed in,
// and a paper of `questions` questions, written as the programs write them (GB18030, CRLF).

#include "bench/bench_checks.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace suite {

inline const QString Paper = QStringLiteral("期中考试");
inline const QString ClassName = QStringLiteral("高一(1)班");

class ProfileText
{
public:
    void section(const QString &name)
    {
        m_text.append(u'[').append(name).append(QStringLiteral("]\r\n"));
    }
    void line(const QString &key, const QString &value)
    {
        m_text.append(key).append(u'=').append(value).append(QStringLiteral("\r\n"));
    }
    QByteArray bytes() const { return QStringEncoder("GB18030").encode(m_text); }

private:
    QString m_text;
};

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the benchmark repository");
}

class SuiteRepository
{
public:
    SuiteRepository(int students, int questions) : m_students(students), m_questions(questions)
    {
        const exam::RepositoryPaths paths(m_dir.path());
        QDir().mkpath(paths.systemFolder());
        bench::require(paths.createPaperFolders(Paper), "createPaperFolders");
        ProfileText system;
        system.section(QStringLiteral("ClassName"));
        system.line(QStringLiteral("ClassNameCount"), QStringLiteral("1"));
        system.line(QStringLiteral("1"), ClassName);
        system.section(QStringLiteral("ClassCount"));
        system.line(ClassName, QString::number(students));
        system.section(QStringLiteral("FirstNumber"));
        system.line(ClassName, QStringLiteral("1"));
        system.section(QStringLiteral("LastNumber"));
        system.line(ClassName, QString::number(students));
        system.section(QStringLiteral("TestName"));
        system.line(QStringLiteral("TestNameCount"), QStringLiteral("1"));
        system.line(QStringLiteral("1"), Paper);
        system.line(Paper, QStringLiteral("1"));
        writeFile(paths.systemProfile(), system.bytes());

        const QStringList options{QStringLiteral("1"), QStringLiteral("2"),  QStringLiteral("3"),
                                  QStringLiteral("4"), QStringLiteral("13"), QStringLiteral("24"),
                                  QStringLiteral("0")};
        ProfileText paper;
        paper.section(QStringLiteral("MAIN"));
        for (const char *grade : {"A_grade", "B_grade", "C_grade", "D_grade"})
            paper.line(QString::fromLatin1(grade), QStringLiteral("60"));
        paper.line(QStringLiteral("Question_conut"), QStringLiteral(" %1").arg(questions));
        for (int q = 1; q <= questions; ++q) {
            paper.section(QString::number(q));
            paper.line(QStringLiteral("QUESTION"), QStringLiteral("%1.RTF").arg(10000 + q));
            paper.line(QStringLiteral("explain"), QStringLiteral("%1.RTF").arg(20000 + q));
            paper.line(QStringLiteral("answer"), options.at(q % 6));
            paper.line(QStringLiteral("mark"), QString());
        }
        writeFile(paths.paperProfile(Paper), paper.bytes());

        QRandomGenerator random(7);
        for (int n = 1; n <= students; ++n) {
            ProfileText result;
            result.section(ClassName);
            result.line(QString::number(n), QStringLiteral("学生%1").arg(n));
            result.line(QStringLiteral("%1LAST").arg(n), QString());
            result.line(QStringLiteral("%1TIME1").arg(n), QStringLiteral("2008,06,01  09:05:00"));
            result.line(QStringLiteral("%1TIME").arg(n), QStringLiteral("0:10:00"));
            result.line(QStringLiteral("%1DangQian").arg(n), QStringLiteral("1"));
            for (int q = 1; q <= questions; ++q)
                result.line(QStringLiteral("%1DA%2").arg(n).arg(q), options.at(random.bounded(7)));
            for (int q = 1; q <= questions; ++q)
                result.line(QStringLiteral("%1SX%2").arg(n).arg(q), QString::number(q));
            result.line(QStringLiteral("%1TIME2").arg(n), QStringLiteral("00:10:00"));
            result.line(QStringLiteral("%1DF").arg(n), QString::number(random.bounded(101)));
            writeFile(paths.resultProfile(Paper, ClassName, QString::number(n)), result.bytes());
        }
    }

    QString root() const { return m_dir.path(); }
    int students() const { return m_students; }
    int questions() const { return m_questions; }

private:
    QTemporaryDir m_dir;
    int m_students;
    int m_questions;
};

} // namespace suite
