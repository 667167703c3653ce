#pragma once

// A repository in a temporary folder for the login tests: system profile, paper profiles and result
// profiles written through the repository's own profile writer.

#include "repository/profile_file.h"
#include "repository/repository_paths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

#include "candidate/password_prompt.h"

using namespace exam::candidate;

// The paper open for taking in fillStandard() and the class admitted to it.
inline const QString StandardPaper = QStringLiteral("期中考试");
inline const QString StandardClass = QStringLiteral("高一(1)班");

class LoginTestRepository
{
public:
    LoginTestRepository() : m_paths(m_dir.path()) { QVERIFY(m_dir.isValid()); }

    QString root() const { return m_dir.path(); }
    const exam::RepositoryPaths &paths() const { return m_paths; }

    void setSystem(const QString &section, const QString &key, const QString &value)
    {
        QDir().mkpath(m_paths.systemFolder());
        if (m_batch)
            m_batch->set(section, key, value);
        else
            QVERIFY(writeProfileString(section, key, value, m_paths.systemProfile()));
    }

    // A paper in the roster with its open and review flags, its folders and its MAIN settings.
    void addPaper(const QString &name, const QString &open, const QString &review)
    {
        const int index = ++m_paperCount;
        setSystem(QStringLiteral("TestName"), QStringLiteral("TestNameCount"),
                  QString::number(index));
        setSystem(QStringLiteral("TestName"), QString::number(index), name);
        setSystem(QStringLiteral("TestName"), name, open);
        setSystem(QStringLiteral("LetViewTest"), name, review);
        QVERIFY(m_paths.createPaperFolders(name));
    }

    void addClass(const QString &name, int first, int last)
    {
        const int index = ++m_classCount;
        setSystem(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount"),
                  QString::number(index));
        setSystem(QStringLiteral("ClassName"), QString::number(index), name);
        setSystem(QStringLiteral("FirstNumber"), name, QString::number(first));
        setSystem(QStringLiteral("LastNumber"), name, QString::number(last));
    }

    void admit(const QString &paper, const QString &className, const QString &flag)
    {
        setSystem(paper, className, flag);
    }

    void setPaperSetting(const QString &paper, const QString &key, const QString &value)
    {
        QVERIFY(
            writeProfileString(QStringLiteral("MAIN"), key, value, m_paths.paperProfile(paper)));
    }

    QString resultFile(const QString &paper, const QString &className, const QString &number) const
    {
        return m_paths.resultProfile(paper, className, number);
    }

    // Writes <number><suffix> into the student's result profile.
    void setResult(const QString &paper, const QString &className, const QString &number,
                   const QString &suffix, const QString &value)
    {
        QVERIFY(writeProfileString(className, number + suffix, value,
                                   resultFile(paper, className, number)));
    }

    QString result(const QString &paper, const QString &className, const QString &number,
                   const QString &suffix) const
    {
        return readProfileString(className, number + suffix, QStringLiteral("<missing>"),
                                 resultFile(paper, className, number));
    }

    QByteArray resultBytes(const QString &paper, const QString &className,
                           const QString &number) const
    {
        QFile file(resultFile(paper, className, number));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Two papers and three classes:
    // 期中考试 open, not reviewable; 复习卷 closed, reviewable; 旧卷 neither.
    // 高一(1)班 1001…1045 admitted to 期中考试; 高一(2)班 2001…2048 refused; 一班 0…50 without
    // entry.
    void fillStandard()
    {
        // One store for the whole system profile keeps the many small tests fast.
        m_batch = std::make_unique<exam::ProfileBatch>(m_paths.systemProfile());
        addPaper(StandardPaper, QStringLiteral("1"), QStringLiteral("0"));
        addPaper(QStringLiteral("复习卷"), QStringLiteral("0"), QStringLiteral("1"));
        addPaper(QStringLiteral("旧卷"), QStringLiteral("0"), QStringLiteral("0"));
        addClass(StandardClass, 1001, 1045);
        addClass(QStringLiteral("高一(2)班"), 2001, 2048);
        addClass(QStringLiteral("一班"), 0, 50);
        admit(StandardPaper, StandardClass, QStringLiteral("1"));
        admit(StandardPaper, QStringLiteral("高一(2)班"), QStringLiteral("0"));
        admit(QStringLiteral("复习卷"), StandardClass, QStringLiteral("1"));
        QVERIFY(m_batch->store());
        m_batch.reset();
    }

private:
    QTemporaryDir m_dir;
    exam::RepositoryPaths m_paths;
    std::unique_ptr<exam::ProfileBatch> m_batch; // collects system profile writes while set
    int m_paperCount = 0;
    int m_classCount = 0;
};

// Types `text` into `widget` one key press per character, as a keyboard or an input method
// delivers it (QTest::keyClicks takes Latin-1 only).
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Answers the password dialog from a script and records the titles it was opened with. An
// unscripted prompt counts as closed by its close box.
class ScriptedPasswordPrompt final : public PasswordPrompt
{
public:
    void answer(std::optional<QString> entry) { m_answers << entry; }
    const QStringList &titles() const { return m_titles; }

    std::optional<QString> ask(const QString &title) override
    {
        m_titles << title;
        return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    }

private:
    QList<std::optional<QString>> m_answers;
    QStringList m_titles;
};
