// take-screenshots: pictures of the main windows for the README, made on a fresh demo
// repository without a display.
//
//   take-screenshots <output folder>

#include "candidate/candidate_state.h"
#include "candidate/exam_window.h"
#include "candidate/instructions_window.h"
#include "candidate/login_model.h"
#include "candidate/login_window.h"
#include "candidate/password_prompt.h"
#include "platform/dialogs/fake_dialogs.h"
#include "proctor/authoring/paper_management_window.h"
#include "proctor/results/results_window.h"
#include "proctor/shell/main_menu_window.h"
#include "repository/clock.h"
#include "repository/random_source.h"
#include "tools/demo_repository.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace exam::candidate;
using namespace exam::platform;

namespace {

class NoPassword final : public PasswordPrompt
{
public:
    std::optional<QString> ask(const QString &) override { return QString(); }
};

bool save(QWidget &window, const QString &folder, const QString &name)
{
    window.show();
    QApplication::processEvents();
    return window.grab().save(folder + u'/' + name + QStringLiteral(".png"));
}

// Waits for the results window's first refresh (which reads on worker threads) to be shown.
void waitForRefresh(exam::ResultsWindow &window)
{
    QEventLoop loop;
    QObject::connect(&window.refresher(), &exam::ResultsRefresher::finished, &loop,
                     &QEventLoop::quit, Qt::QueuedConnection);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    if (window.refresher().isRunning())
        loop.exec();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("考试系统"));
    QTextStream err(stderr);
    if (QCoreApplication::arguments().size() != 2) {
        err << "usage: take-screenshots <output folder>\n";
        return 2;
    }
    const QString out = QCoreApplication::arguments().at(1);
    QDir().mkpath(out);
    QTemporaryDir dir;
    exam::SecureRandomSource random;
    const exam::SystemClock clock;
    if (!dir.isValid()) {
        err << "take-screenshots: " << dir.errorString() << '\n';
        return 1;
    }
    if (const exam::Result written = exam::demo::writeDemoRepository(dir.path(), random, clock);
        !written) {
        err << "take-screenshots: " << written.message() << '\n';
        return 1;
    }
    const QString root = dir.path();
    const QList<exam::demo::DemoPaper> papers = exam::demo::demoPapers();
    FakeDialogs dialogs;
    bool saved = true;

    exam::MainMenuWindow menu({}, dialogs);
    saved &= save(menu, out, QStringLiteral("console-menu"));
    exam::PaperManagementWindow management(root, dialogs);
    saved &= save(management, out, QStringLiteral("paper-management"));

    exam::ResultsWindow results(root, dialogs);
    if (results.start()) {
        waitForRefresh(results);
        auto *paperChoice = results.findChild<QComboBox *>(QStringLiteral("Combo1"));
        paperChoice->setCurrentIndex(paperChoice->findText(papers.at(2).name));
        results.refresh();
        waitForRefresh(results);
    }
    results.resize(1000, 640);
    saved &= save(results, out, QStringLiteral("results"));

    CandidateState loginState;
    NoPassword prompt;
    LoginWindow login(root, loginState, dialogs, prompt);
    login.start();
    saved &= save(login, out, QStringLiteral("client-login"));

    // A new student of the second class sits the picture paper.
    CandidateState state;
    LoginModel model(root, state, dialogs, prompt);
    const exam::ClassEntry second = exam::demo::demoClasses().constLast();
    model.start();
    model.choosePaper(papers.at(2).name);
    if (!model.logIn({papers.at(2).name,
                      second.name,
                      QString::number(second.first),
                      QStringLiteral("林小雨"),
                      {}})) {
        err << "take-screenshots: " << dialogs.texts().join(u' ') << '\n';
        return 1;
    }
    InstructionsWindow instructions(root, state);
    saved &= save(instructions, out, QStringLiteral("client-instructions"));
    ExamEnvironment environment;
    environment.repositoryRoot = root;
    environment.localCacheFolder = dir.filePath(QStringLiteral("kbtest4"));
    environment.random = &random;
    environment.clock = &clock;
    ExamWindow exam(state, environment, dialogs);
    exam.resize(900, 640);
    saved &= save(exam, out, QStringLiteral("client-exam"));

    if (!saved) {
        err << "take-screenshots: a picture could not be saved in " << out << '\n';
        return 1;
    }
    return 0;
}
