#include "proctor/shell/console_password.h"

#include <QTest>

using Outcome = exam::PasswordChange::Outcome;

Q_DECLARE_METATYPE(Outcome)

class TestConsolePassword : public QObject
{
    Q_OBJECT

private slots:
    void shouldAskForTheLoginOnlyWhenAPasswordIsStored_data();
    void shouldAskForTheLoginOnlyWhenAPasswordIsStored();
    void shouldMatchIgnoringOnlyBlanksAtTheEnds_data();
    void shouldMatchIgnoringOnlyBlanksAtTheEnds();
    void shouldCheckTheOldPasswordBeforeTheRepetition_data();
    void shouldCheckTheOldPasswordBeforeTheRepetition();
};

void TestConsolePassword::shouldAskForTheLoginOnlyWhenAPasswordIsStored_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("required");
    QTest::newRow("missing") << QString() << false;
    QTest::newRow("blanks only") << "  \t " << false;
    QTest::newRow("password") << "abc" << true;
    QTest::newRow("password in blanks") << " abc " << true;
}

void TestConsolePassword::shouldAskForTheLoginOnlyWhenAPasswordIsStored()
{
    QFETCH(QString, stored);
    QFETCH(bool, required);
    QCOMPARE(exam::loginRequired(stored), required);
}

void TestConsolePassword::shouldMatchIgnoringOnlyBlanksAtTheEnds_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("matches");
    QTest::newRow("same") << "Teach1" << "Teach1" << true;
    QTest::newRow("stored with blanks") << "Teach1" << " Teach1 " << true;
    QTest::newRow("typed with blanks") << "  Teach1 " << "Teach1" << true;
    QTest::newRow("other case") << "teach1" << " Teach1 " << false;
    QTest::newRow("inner blank counts") << "Teach 1" << "Teach1" << false;
    QTest::newRow("chinese") << "老师" << "老师" << true;
    QTest::newRow("empty typed") << "" << "Teach1" << false;
    QTest::newRow("both empty") << "" << "" << true;
}

void TestConsolePassword::shouldMatchIgnoringOnlyBlanksAtTheEnds()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, matches);
    QCOMPARE(exam::passwordMatches(typed, stored), matches);
}

void TestConsolePassword::shouldCheckTheOldPasswordBeforeTheRepetition_data()
{
    QTest::addColumn<QString>("oldPassword");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repetition");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("written");

    QTest::newRow("accepted, trimmed") << "old" << " new " << "new" << "old" << Outcome::Accepted << "new";
    QTest::newRow("wrong old password") << "OLD" << "new" << "new" << "old" << Outcome::WrongOldPassword << "";
    QTest::newRow("wrong old and differing repetition")
        << "x" << "new" << "other" << "old" << Outcome::WrongOldPassword << "";
    QTest::newRow("differing repetition") << "old" << "new" << "New" << "old" << Outcome::RepetitionDiffers << "";
    QTest::newRow("none stored, empty old box") << "" << "abc" << "abc" << "" << Outcome::Accepted << "abc";
    QTest::newRow("switching the login off") << "old" << "" << "  " << "old" << Outcome::Accepted << "";
}

void TestConsolePassword::shouldCheckTheOldPasswordBeforeTheRepetition()
{
    QFETCH(QString, oldPassword);
    QFETCH(QString, newPassword);
    QFETCH(QString, repetition);
    QFETCH(QString, stored);
    QFETCH(Outcome, outcome);
    QFETCH(QString, written);

    const exam::PasswordChange change =
        exam::checkPasswordChange(oldPassword, newPassword, repetition, stored);
    QCOMPARE(change.outcome, outcome);
    QCOMPARE(change.newPassword, written);
}

QTEST_GUILESS_MAIN(TestConsolePassword)
#include "tst_console_password.moc"
