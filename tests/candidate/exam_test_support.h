#pragma once

// Stand-ins for the exam tests: a scripted random source, a fixed clock, timers fired by hand, and
// a paper with its question files and results folder in a temporary repository.

#include "candidate/candidate_state.h"
#include "candidate/exam_session.h"
#include "candidate/exam_ticker.h"
#include "repository/clock.h"
#include "repository/profile_file.h"
#include "repository/random_source.h"
#include "repository/repository_paths.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPointer>
#include <QQueue>
#include <QTemporaryDir>
#include <QTest>

using namespace exam::candidate;

class ScriptedRandom final : public exam::RandomSource
{
public:
    QQueue<double> draws;
    int drawn = 0;
    double uniform() override
    {
        ++drawn;
        return draws.isEmpty() ? 0.0 : draws.dequeue();
    }
};

class FixedClock final : public exam::Clock
{
public:
    QDateTime time{QDate(2026, 6, 1), QTime(9, 5, 0)};
    QDateTime now() const override { return time; }
};

// Fires only while started, as a real timer would.
class ManualTicker final : public ExamTicker
{
public:
    void start(int intervalMs) override
    {
        m_interval = intervalMs;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }
    // Returns whether the timer fired.
    bool fire()
    {
        if (!m_active)
            return false;
        emit timeout();
        return true;
    }
    void fire(int times)
    {
        for (int i = 0; i < times; ++i)
            fire();
    }

private:
    bool m_active = false;
    int m_interval = 0;
};

// The repository's share is away (a network blip) while this lives: its folder is renamed, so
// neither the paper's files nor the results folder can be reached.
class ShareAway
{
public:
    explicit ShareAway(const QString &root) : m_root(root)
    {
        QVERIFY(QDir().rename(m_root, away()));
    }
    ~ShareAway() { QDir().rename(away(), m_root); }
    ShareAway(const ShareAway &) = delete;
    ShareAway &operator=(const ShareAway &) = delete;

private:
    QString away() const { return m_root + QStringLiteral(".away"); }
    QString m_root;
};

// One paper "期中测验" in a temporary repository, class "高一(2)班", student 17 "张三".
class ExamRepository
{
public:
    const QString paper = QStringLiteral("期中测验");
    const QString className = QStringLiteral("高一(2)班");
    const QString number = QStringLiteral("17");

    ExamRepository() : m_paths(m_dir.path())
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_cache.isValid());
        QVERIFY(m_paths.createPaperFolders(paper));
    }

    QString root() const { return m_dir.path(); }
    QString cacheFolder() const { return m_cache.path() + u"/kbtest4"; }
    const exam::RepositoryPaths &paths() const { return m_paths; }
    QString paperProfile() const { return m_paths.paperProfile(paper); }
    QString resultProfile() const { return m_paths.resultProfile(paper, className, number); }
    QString resultsFolder() const { return m_paths.paperResultsFolder(paper); }

    void setMain(const QString &key, const QString &value)
    {
        QVERIFY(writeProfileString(QStringLiteral("MAIN"), key, value, paperProfile()));
    }

    // Drops the line of `key` from the paper profile, as a hand-edited or older paper lacks it.
    void removeMain(const QString &key)
    {
        QFile file(paperProfile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        const QByteArray prefix = key.toLatin1().toLower() + '=';
        lines.removeIf([&](const QByteArray &line) { return line.toLower().startsWith(prefix); });
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines.join('\n'));
    }

    // Questions 1 … count: files q<k>.RTF / e<k>.RTF, standard answers and marks as given (a
    // missing entry leaves the key out).
    void writePaper(int count, int minutes, int defaultMark, const QStringList &answers = {},
                    const QStringList &marks = {})
    {
        exam::ProfileBatch batch(paperProfile());
        const QString main = QStringLiteral("MAIN");
        batch.set(main, QStringLiteral("TESTTIME"), QString::number(minutes));
        batch.set(main, QStringLiteral("Question_conut"), u' ' + QString::number(count));
        batch.set(main, QStringLiteral("Mark"), u' ' + QString::number(defaultMark));
        batch.set(main, QStringLiteral("CHANGE_QUESTION_SORT"), QStringLiteral("0"));
        batch.set(main, QStringLiteral("DISPLAY_SCORE"), QStringLiteral("1"));
        for (int k = 1; k <= count; ++k) {
            const QString section = QString::number(k);
            batch.set(section, QStringLiteral("QUESTION"), QStringLiteral("q%1.RTF").arg(k));
            batch.set(section, QStringLiteral("explain"), QStringLiteral("e%1.RTF").arg(k));
            if (k <= answers.size())
                batch.set(section, QStringLiteral("answer"), answers.at(k - 1));
            if (k <= marks.size())
                batch.set(section, QStringLiteral("mark"), marks.at(k - 1));
            writeDocument(QStringLiteral("q%1.RTF").arg(k), QStringLiteral("Question %1").arg(k));
            writeDocument(QStringLiteral("e%1.RTF").arg(k),
                          QStringLiteral("Explanation %1").arg(k));
        }
        QVERIFY(batch.store());
    }

    void writeDocument(const QString &name, const QString &text)
    {
        QFile file(m_paths.paperFolder(paper) + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 " + text.toLatin1() +
                   "\\par}");
    }

    void setResult(const QString &suffix, const QString &value)
    {
        QVERIFY(writeProfileString(className, number + suffix, value, resultProfile()));
    }
    QString result(const QString &suffix) const
    {
        return readProfileString(className, number + suffix, QStringLiteral("<missing>"),
                                 resultProfile());
    }
    QByteArray resultBytes() const
    {
        QFile file(resultProfile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    CandidateState state(bool resume = false, bool review = false) const
    {
        CandidateState s;
        s.paperName = paper;
        s.className = className;
        s.examNumber = number;
        s.studentName = QStringLiteral("张三");
        s.formerName = QStringLiteral("张小三");
        s.resumeMode = resume;
        s.reviewMode = review;
        return s;
    }

    // Timers are ManualTickers kept in `tickers` by name.
    ExamEnvironment environment(bool runsLocally = true)
    {
        ExamEnvironment env;
        env.repositoryRoot = root();
        env.runsLocally = runsLocally;
        env.localCacheFolder = cacheFolder();
        env.random = &random;
        env.clock = &clock;
        env.makeTicker = [this](const QString &name) {
            auto ticker = std::make_unique<ManualTicker>();
            tickers[name] = ticker.get();
            return std::unique_ptr<ExamTicker>(std::move(ticker));
        };
        return env;
    }

    ManualTicker *clockTimer() const { return tickers.value(QStringLiteral("Timer1")); }
    ManualTicker *saveTimer() const { return tickers.value(QStringLiteral("Timer保存")); }

    ScriptedRandom random;
    FixedClock clock;
    QHash<QString, QPointer<ManualTicker>> tickers;

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_cache;
    exam::RepositoryPaths m_paths;
};
