#include "candidate/admission.h"
#include "candidate/login_rules.h"

#include "login_test_repository.h"

#include <QTest>

using namespace exam::candidate;

class TestAdmission : public QObject
{
    Q_OBJECT

private slots:
    // Each failing step shows its own message; the checks run in a fixed order, so the first
    // failing one decides.
    void shouldRefuseInOrderOfChecks_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("storedName");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusNumber");

        const QString paper = QStringLiteral("期中考试");
        const QString class1 = QStringLiteral("高一(1)班");
        const QString zeroClass = QStringLiteral("一班");
        const QString name = QStringLiteral("张三");
        QTest::newRow("no paper before anything else")
            << QString() << QString() << QString() << QString() << QString()
            << LoginTexts::ChoosePaper << false;
        QTest::newRow("no class") << paper << QString() << QStringLiteral("1001") << name
                                  << QString() << LoginTexts::ChooseClass << false;
        QTest::newRow("blank class") << paper << QStringLiteral("  ") << QStringLiteral("1001")
                                     << name << QString() << LoginTexts::ChooseClass << false;
        QTest::newRow("number below range") << paper << class1 << QStringLiteral("1000") << name
                                            << QString() << LoginTexts::WrongNumber << true;
        QTest::newRow("number above range") << paper << class1 << QStringLiteral("1046") << name
                                            << QString() << LoginTexts::WrongNumber << true;
        QTest::newRow("range checked before an empty name")
            << paper << class1 << QStringLiteral("999") << QString() << QString()
            << LoginTexts::WrongNumber << true;
        QTest::newRow("empty number counts as 0, outside a range from 1001")
            << paper << class1 << QString() << name << QString() << LoginTexts::WrongNumber << true;
        QTest::newRow("zero number in a range from 0")
            << paper << zeroClass << QStringLiteral("000") << name << QString()
            << LoginTexts::NumberAndNameMissing << true;
        QTest::newRow("empty name") << paper << class1 << QStringLiteral("1001") << QString()
                                    << QString() << LoginTexts::NumberAndNameMissing << true;
        QTest::newRow("name of blanks")
            << paper << class1 << QStringLiteral("1001") << QStringLiteral("   ") << QString()
            << LoginTexts::NumberAndNameMissing << true;
        QTest::newRow("other name stored")
            << paper << class1 << QStringLiteral("1001") << name << QStringLiteral("李四")
            << LoginTexts::NameMismatch << false;
    }
    void shouldRefuseInOrderOfChecks()
    {
        QFETCH(QString, paper);
        QFETCH(QString, className);
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, storedName);
        QFETCH(QString, message);
        QFETCH(bool, focusNumber);

        LoginTestRepository repo;
        repo.fillStandard();
        if (!storedName.isEmpty())
            repo.setResult(paper, className, normalizeExamNumber(number), {}, storedName);

        CandidateState state;
        const AdmissionResult result =
            checkAdmission(repo.paths(), {paper, className, number, name, {}}, state);
        QVERIFY(!result.admitted);
        QCOMPARE(result.message, message);
        QCOMPARE(result.focusNumber, focusNumber);
    }

    void shouldAdmit_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("storedName");
        QTest::newRow("first login")
            << QStringLiteral("1001") << QStringLiteral("张三") << QString();
        QTest::newRow("same name again")
            << QStringLiteral("1045") << QStringLiteral("张三") << QStringLiteral("张三");
        QTest::newRow("blanks around the typed name")
            << QStringLiteral("1002") << QStringLiteral("  张三 ") << QStringLiteral("张三");
        QTest::newRow("blanks around the stored name")
            << QStringLiteral("1003") << QStringLiteral("张三") << QStringLiteral("  张三  ");
        QTest::newRow("leading zeros")
            << QStringLiteral("001001") << QStringLiteral("张三") << QString();
    }
    void shouldAdmit()
    {
        QFETCH(QString, number);
        QFETCH(QString, name);
        QFETCH(QString, storedName);
        LoginTestRepository repo;
        repo.fillStandard();
        const QString paper = QStringLiteral("期中考试");
        const QString className = QStringLiteral("高一(1)班");
        if (!storedName.isEmpty())
            repo.setResult(paper, className, normalizeExamNumber(number), {}, storedName);

        CandidateState state;
        const AdmissionResult result =
            checkAdmission(repo.paths(),
                           {paper, QStringLiteral(" ") + className + QStringLiteral(" "), number,
                            name, QStringLiteral(" 张小三 ")},
                           state);
        QVERIFY2(result.admitted, qPrintable(result.message));
        QCOMPARE(state.paperName, paper);
        QCOMPARE(state.className, className);
        QCOMPARE(state.examNumber, normalizeExamNumber(number));
        QCOMPARE(result.normalizedNumber, state.examNumber);
        QCOMPARE(state.studentName, QStringLiteral("张三"));
        QCOMPARE(state.formerName, QStringLiteral("张小三"));
        QCOMPARE(state.firstNumber, 1001);
        QCOMPARE(state.lastNumber, 1045);
    }

    void shouldReadBothPasswords()
    {
        LoginTestRepository repo;
        repo.fillStandard();
        const QString paper = QStringLiteral("期中考试");
        repo.setPaperSetting(paper, QStringLiteral("RETESTPASSWD"), QStringLiteral(" again "));
        repo.setPaperSetting(paper, QStringLiteral("RELOGINPASSWD"), QStringLiteral("back"));
        CandidateState state;
        QVERIFY(checkAdmission(repo.paths(),
                               {paper,
                                QStringLiteral("高一(1)班"),
                                QStringLiteral("1001"),
                                QStringLiteral("张三"),
                                {}},
                               state)
                    .admitted);
        QCOMPARE(state.retestPassword, QStringLiteral("again"));
        QCOMPARE(state.reloginPassword, QStringLiteral("back"));
    }

    void shouldReadNoPasswordsWithoutPaperProfile()
    {
        LoginTestRepository repo;
        repo.fillStandard();
        CandidateState state;
        state.retestPassword = QStringLiteral("stale");
        QVERIFY(checkAdmission(repo.paths(),
                               {QStringLiteral("期中考试"),
                                QStringLiteral("高一(1)班"),
                                QStringLiteral("1001"),
                                QStringLiteral("张三"),
                                {}},
                               state)
                    .admitted);
        QVERIFY(state.retestPassword.isEmpty());
        QVERIFY(state.reloginPassword.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAdmission)
#include "tst_admission.moc"
