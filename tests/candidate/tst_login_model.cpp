#include "candidate/login_model.h"
#include "candidate/login_rules.h"

#include "login_test_repository.h"

#include "platform/dialogs/fake_dialogs.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

const QString Number = QStringLiteral("1001");
const QString Name = QStringLiteral("张三");

} // namespace

class TestLoginModel : public QObject
{
    Q_OBJECT

private:
    struct Setup
    {
        LoginTestRepository repo;
        CandidateState state;
        FakeDialogs dialogs;
        ScriptedPasswordPrompt prompt;
        std::unique_ptr<LoginModel> model;

        Setup()
        {
            repo.fillStandard();
            model = std::make_unique<LoginModel>(repo.root(), state, dialogs, prompt);
        }
        LoginEntries entries(const QString &number = Number, const QString &name = Name) const
        {
            return {StandardPaper, StandardClass, number, name, QStringLiteral("张小三")};
        }
        QString result(const QString &suffix, const QString &number = Number) const
        {
            return repo.result(StandardPaper, StandardClass, number, suffix);
        }
        void finish()
        {
            repo.setResult(StandardPaper, StandardClass, Number, QStringLiteral("TIME2"),
                           QStringLiteral("00:12:00"));
        }
        void interrupt()
        {
            repo.setResult(StandardPaper, StandardClass, Number, QStringLiteral("TIME1"),
                           QStringLiteral("2008,06,01  09:05:00"));
        }
        void setPasswords(const QString &retest, const QString &relogin)
        {
            repo.setPaperSetting(StandardPaper, QStringLiteral("RETESTPASSWD"), retest);
            repo.setPaperSetting(StandardPaper, QStringLiteral("RELOGINPASSWD"), relogin);
        }
    };

private slots:
    void shouldEndWithoutPapers_data()
    {
        QTest::addColumn<bool>("rosterWithClosedPaper");
        QTest::newRow("no system profile") << false;
        QTest::newRow("only a closed paper") << true;
    }
    void shouldEndWithoutPapers()
    {
        QFETCH(bool, rosterWithClosedPaper);
        LoginTestRepository repo;
        if (rosterWithClosedPaper) {
            repo.addPaper(QStringLiteral("旧卷"), QStringLiteral("0"), QStringLiteral("0"));
            repo.addClass(StandardClass, 1001, 1045);
        }
        CandidateState state;
        FakeDialogs dialogs;
        ScriptedPasswordPrompt prompt;
        LoginModel model(repo.root(), state, dialogs, prompt);
        QVERIFY(!model.start());
        QCOMPARE(dialogs.messages(), QStringList{LoginTexts::NoPapers});
    }

    void shouldEndWithoutClasses()
    {
        LoginTestRepository repo;
        repo.addPaper(StandardPaper, QStringLiteral("1"), QStringLiteral("0"));
        CandidateState state;
        FakeDialogs dialogs;
        ScriptedPasswordPrompt prompt;
        LoginModel model(repo.root(), state, dialogs, prompt);
        QVERIFY(!model.start());
        QCOMPARE(dialogs.messages(), QStringList{LoginTexts::NoClassesAtStartup});
        QVERIFY(LoginTexts::NoClassesAtStartup.endsWith(QLatin1Char(' ')));
    }

    void shouldStartOnFirstPaper()
    {
        Setup s;
        QSignalSpy classes(s.model.get(), &LoginModel::classesChanged);
        QVERIFY(s.model->start());
        QVERIFY(s.dialogs.calls().isEmpty());
        QCOMPARE(s.model->papers(), (QStringList{StandardPaper, QStringLiteral("复习卷")}));
        QCOMPARE(s.state.paperOpen, 1);
        QCOMPARE(s.state.reviewAllowed, 0);
        QVERIFY(s.model->loginEnabled());
        QVERIFY(!s.model->reviewEnabled());
        // A class without an admission entry stays out at start-up.
        QCOMPARE(s.model->classes(), QStringList{StandardClass});
        QVERIFY(!classes.isEmpty());
    }

    void shouldEnableButtonsByPaperFlags_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<bool>("login");
        QTest::addColumn<bool>("review");
        QTest::newRow("open for taking") << StandardPaper << true << false;
        QTest::newRow("review only") << QStringLiteral("复习卷") << false << true;
        QTest::newRow("flags read as numbers") << QStringLiteral("双开卷") << true << true;
    }
    void shouldEnableButtonsByPaperFlags()
    {
        QFETCH(QString, paper);
        QFETCH(bool, login);
        QFETCH(bool, review);
        Setup s;
        s.repo.addPaper(QStringLiteral("双开卷"), QStringLiteral(" 1"), QStringLiteral("1.0"));
        QVERIFY(s.model->start());
        QSignalSpy buttons(s.model.get(), &LoginModel::buttonsChanged);
        s.model->choosePaper(paper);
        QCOMPARE(buttons.count(), 1);
        QCOMPARE(s.model->loginEnabled(), login);
        QCOMPARE(s.model->reviewEnabled(), review);
    }

    void shouldAdmitMissingEntriesWhenPaperListIsLeft()
    {
        Setup s;
        QVERIFY(s.model->start());
        s.model->leavePaperList(StandardPaper);
        QCOMPARE(s.model->classes(), (QStringList{StandardClass, QStringLiteral("一班")}));
        QVERIFY(s.dialogs.calls().isEmpty());
    }

    void shouldWarnWhenClassesVanishWhileListing()
    {
        Setup s;
        QVERIFY(s.model->start());
        s.repo.setSystem(QStringLiteral("ClassName"), QStringLiteral("ClassNameCount"),
                         QStringLiteral("0"));
        s.model->leavePaperList(StandardPaper);
        QVERIFY(s.model->classes().isEmpty());
        QCOMPARE(s.dialogs.messages(), QStringList{LoginTexts::NoClassesOpen});
    }

    void shouldStartFreshAndWriteNames()
    {
        Setup s;
        QSignalSpy normalized(s.model.get(), &LoginModel::numberNormalized);
        QVERIFY(s.model->logIn(s.entries(QStringLiteral("001001"), QStringLiteral(" 张三 "))));
        QVERIFY(s.dialogs.calls().isEmpty());
        QVERIFY(s.prompt.titles().isEmpty());
        QCOMPARE(normalized.count(), 1);
        QCOMPARE(normalized.at(0).at(0).toString(), Number);
        QCOMPARE(s.state.examNumber, Number);
        QVERIFY(!s.state.resumeMode);
        QVERIFY(!s.state.reviewMode);
        QVERIFY(QFile::exists(s.repo.resultFile(StandardPaper, StandardClass, Number)));
        QCOMPARE(s.result({}), Name);
        QCOMPARE(s.result(QStringLiteral("LAST")), QStringLiteral("张小三"));
        QVERIFY(!QFile::exists(
            s.repo.resultFile(StandardPaper, StandardClass, QStringLiteral("001001"))));
    }

    void shouldRefuseRetestWithoutPassword()
    {
        Setup s;
        s.finish();
        const QByteArray before = s.repo.resultBytes(StandardPaper, StandardClass, Number);
        QVERIFY(!s.model->logIn(s.entries()));
        QCOMPARE(s.dialogs.texts(), QStringList{LoginTexts::RetestRefused});
        QVERIFY(s.prompt.titles().isEmpty());
        QCOMPARE(s.repo.resultBytes(StandardPaper, StandardClass, Number), before);
    }

    // What a finished student answers to the retest question and the password dialog, and whether
    // he gets in; a refusal is silent and writes nothing.
    void shouldDecideRetest_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<std::optional<QString>>("entry");
        QTest::addColumn<QString>("heldBefore");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("cancel the question")
            << false << std::optional<QString>() << QString() << false;
        QTest::newRow("right password")
            << true << std::optional<QString>(QStringLiteral("again")) << QString() << true;
        QTest::newRow("right password with blanks")
            << true << std::optional<QString>(QStringLiteral("  again ")) << QString() << true;
        QTest::newRow("wrong password")
            << true << std::optional<QString>(QStringLiteral("agian")) << QString() << false;
        QTest::newRow("cancel the password")
            << true << std::optional<QString>(QString()) << QString() << false;
        QTest::newRow("close box keeps what was held")
            << true << std::optional<QString>() << QStringLiteral("again") << true;
        QTest::newRow("close box with nothing held")
            << true << std::optional<QString>() << QString() << false;
    }
    void shouldDecideRetest()
    {
        QFETCH(bool, confirm);
        QFETCH(std::optional<QString>, entry);
        QFETCH(QString, heldBefore);
        QFETCH(bool, admitted);
        Setup s;
        s.setPasswords(QStringLiteral("again"), QStringLiteral("back"));
        s.finish();
        s.interrupt(); // a retest starts afresh although TIME1 is there
        s.state.enteredPassword = heldBefore;
        s.dialogs.answerQuestion(confirm);
        s.prompt.answer(entry);
        const QByteArray before = s.repo.resultBytes(StandardPaper, StandardClass, Number);

        QCOMPARE(s.model->logIn(s.entries()), admitted);
        QCOMPARE(s.dialogs.texts(), QStringList{LoginTexts::RetestQuestion});
        QCOMPARE(s.dialogs.calls().constFirst().kind, FakeDialogs::Kind::OkCancel);
        QCOMPARE(s.prompt.titles(),
                 confirm ? QStringList{LoginTexts::RetestPasswordTitle} : QStringList());
        if (admitted) {
            QVERIFY(!s.state.resumeMode);
            QCOMPARE(s.result({}), Name);
            QCOMPARE(s.result(QStringLiteral("TIME2")), QStringLiteral("00:12:00"));
        } else {
            QCOMPARE(s.repo.resultBytes(StandardPaper, StandardClass, Number), before);
        }
    }

    void shouldRefuseReloginWithoutPassword()
    {
        Setup s;
        s.setPasswords(QStringLiteral("again"), QString());
        s.interrupt();
        QVERIFY(!s.model->logIn(s.entries()));
        QCOMPARE(s.dialogs.texts(), QStringList{LoginTexts::ReloginRefused});
        QVERIFY(s.prompt.titles().isEmpty());
    }

    void shouldDecideRelogin_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<std::optional<QString>>("entry");
        QTest::addColumn<bool>("emptyFinishedMark");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("cancel the question") << false << std::optional<QString>() << false << false;
        QTest::newRow("right password")
            << true << std::optional<QString>(QStringLiteral("back")) << false << true;
        QTest::newRow("wrong password")
            << true << std::optional<QString>(QStringLiteral("x")) << false << false;
        QTest::newRow("empty finished mark counts as not finished")
            << true << std::optional<QString>(QStringLiteral(" back")) << true << true;
    }
    void shouldDecideRelogin()
    {
        QFETCH(bool, confirm);
        QFETCH(std::optional<QString>, entry);
        QFETCH(bool, emptyFinishedMark);
        QFETCH(bool, admitted);
        Setup s;
        s.setPasswords(QStringLiteral("again"), QStringLiteral("back"));
        s.interrupt();
        if (emptyFinishedMark)
            s.repo.setResult(StandardPaper, StandardClass, Number, QStringLiteral("TIME2"),
                             QString());
        s.dialogs.answerQuestion(confirm);
        s.prompt.answer(entry);
        const QByteArray before = s.repo.resultBytes(StandardPaper, StandardClass, Number);

        QCOMPARE(s.model->logIn(s.entries()), admitted);
        QCOMPARE(s.dialogs.texts(), QStringList{LoginTexts::ReloginQuestion});
        QCOMPARE(s.prompt.titles(),
                 confirm ? QStringList{LoginTexts::ReloginPasswordTitle} : QStringList());
        QVERIFY(s.state.resumeMode);
        if (admitted) {
            QVERIFY(!s.state.reviewMode);
            QCOMPARE(s.result(QStringLiteral("LAST")), QStringLiteral("张小三"));
        } else {
            QCOMPARE(s.repo.resultBytes(StandardPaper, StandardClass, Number), before);
        }
    }

    void shouldReviewOnlyFinishedPapers_data()
    {
        QTest::addColumn<QString>("finishedMark");
        QTest::addColumn<bool>("admitted");
        QTest::newRow("not started") << QString() << false;
        QTest::newRow("finished") << QStringLiteral("00:01:05") << true;
    }
    void shouldReviewOnlyFinishedPapers()
    {
        QFETCH(QString, finishedMark);
        QFETCH(bool, admitted);
        Setup s;
        s.setPasswords(QStringLiteral("again"), QStringLiteral("back"));
        s.interrupt();
        if (!finishedMark.isEmpty())
            s.repo.setResult(StandardPaper, StandardClass, Number, QStringLiteral("TIME2"),
                             finishedMark);
        const QByteArray before = s.repo.resultBytes(StandardPaper, StandardClass, Number);

        QCOMPARE(s.model->viewResults(s.entries()), admitted);
        QCOMPARE(s.state.reviewMode, admitted);
        QCOMPARE(s.dialogs.texts(),
                 admitted ? QStringList() : QStringList{LoginTexts::ReviewNotFinished});
        QVERIFY(s.prompt.titles().isEmpty());
        QCOMPARE(s.repo.resultBytes(StandardPaper, StandardClass, Number), before);
    }

    void shouldNotReviewWhenAdmissionFails()
    {
        Setup s;
        s.repo.setResult(StandardPaper, StandardClass, Number, {}, Name);
        s.finish();
        QVERIFY(!s.model->viewResults(s.entries(Number, QStringLiteral("李四"))));
        QCOMPARE(s.dialogs.messages(), QStringList{LoginTexts::NameMismatch});
        QVERIFY(!s.state.reviewMode);
    }

    void shouldAskForNumberFocusOnNumberErrors()
    {
        Setup s;
        QSignalSpy focus(s.model.get(), &LoginModel::numberFocusRequested);
        QVERIFY(!s.model->logIn(s.entries(QStringLiteral("5"))));
        QCOMPARE(focus.count(), 1);
        QVERIFY(
            !QDir(s.repo.paths().paperResultsFolder(StandardPaper)).entryList(QDir::Files).size());
    }

    void shouldTellWhenLoginCannotBeStored()
    {
        Setup s;
        // The paper was deleted on the console while the client ran.
        QVERIFY(QDir(s.repo.paths().paperResultsFolder(StandardPaper)).removeRecursively());
        QVERIFY(!s.model->logIn(s.entries()));
        QCOMPARE(s.dialogs.messages().size(), 1);
        QVERIFY(s.dialogs.messages().constFirst().startsWith(LoginTexts::LoginNotStored));
        QVERIFY(!QDir(s.repo.paths().paperResultsFolder(StandardPaper)).exists());
    }

    void shouldKeepTypedLineBreaksOutOfTheResultProfile()
    {
        Setup s;
        const QString name = QStringLiteral("张三\r\n[高一(2)班]\n1001TIME2=00:00:01");
        const QString former = QStringLiteral("x") + QChar(0) + QStringLiteral("\n1001DF=100");
        QVERIFY(s.model->logIn({StandardPaper, StandardClass, Number, name, former}));
        const QByteArray bytes = s.repo.resultBytes(StandardPaper, StandardClass, Number);
        QCOMPARE(bytes.count('\n'), 3); // the section line and two keys
        QCOMPARE(s.result(QStringLiteral("TIME2")), QStringLiteral("<missing>"));
        QCOMPARE(s.result(QStringLiteral("DF")), QStringLiteral("<missing>"));
        // The same typed name passes the name check of the next login.
        s.state = {};
        QVERIFY(s.model->logIn({StandardPaper, StandardClass, Number, name, former}));
    }
};

QTEST_GUILESS_MAIN(TestLoginModel)
#include "tst_login_model.moc"
