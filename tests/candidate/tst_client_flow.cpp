#include "candidate/client_flow.h"
#include "candidate/instructions_window.h"
#include "candidate/login_rules.h"
#include "candidate/login_window.h"

#include "login_test_repository.h"

#include "platform/desktop/single_instance.h"
#include "platform/dialogs/fake_dialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace exam::candidate;
using namespace exam::platform;

class TestClientFlow : public QObject
{
    Q_OBJECT

private slots:
    void shouldRefuseSecondInstance()
    {
        QTemporaryDir lockFolder;
        FakeDialogs dialogs;
        SingleInstanceGuard first(QStringLiteral("candidate"), lockFolder.path());
        QVERIFY(claimSingleInstance(first, dialogs));
        QVERIFY(dialogs.calls().isEmpty());

        SingleInstanceGuard second(QStringLiteral("candidate"), lockFolder.path());
        QVERIFY(!claimSingleInstance(second, dialogs));
        QCOMPARE(dialogs.messages(), QStringList{LoginTexts::AlreadyRunning});
    }

    void shouldEndWhenNothingToSit()
    {
        LoginTestRepository repo;
        CandidateState state;
        FakeDialogs dialogs;
        ScriptedPasswordPrompt prompt;
        ClientFlow flow(repo.root(), state, dialogs, prompt);
        QVERIFY(!flow.start());
        QVERIFY(!flow.loginWindow());
        QCOMPARE(dialogs.messages(), QStringList{LoginTexts::NoPapers});
    }

    void shouldGoFromLoginToInstructionsToExam()
    {
        LoginTestRepository repo;
        repo.fillStandard();
        CandidateState state;
        FakeDialogs dialogs;
        ScriptedPasswordPrompt prompt;
        ClientFlow flow(repo.root(), state, dialogs, prompt);
        int launched = 0;
        flow.setExamLauncher([&] {
            ++launched;
            QCOMPARE(state.studentName, QStringLiteral("张三"));
        });
        QVERIFY(flow.start());
        LoginWindow *login = flow.loginWindow();
        QVERIFY(login && login->isVisible());

        auto *classes = login->findChild<QComboBox *>(QStringLiteral("Combo2"));
        classes->setCurrentIndex(0);
        QTest::keyClicks(login->findChild<QLineEdit *>(QStringLiteral("Text1")),
                         QStringLiteral("1010"));
        typeText(login->findChild<QLineEdit *>(QStringLiteral("Text2")), QStringLiteral("张三"));
        QTest::mouseClick(login->findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);

        QTRY_VERIFY(!flow.loginWindow());
        InstructionsWindow *instructions = flow.instructionsWindow();
        QVERIFY(instructions && instructions->isVisible());
        QTest::mouseClick(instructions->findChild<QPushButton *>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QCOMPARE(launched, 1);
        QTRY_VERIFY(!flow.instructionsWindow());
    }
};

QTEST_MAIN(TestClientFlow)
#include "tst_client_flow.moc"
