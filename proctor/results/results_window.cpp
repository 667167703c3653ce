#include "proctor/results/results_window.h"

#include "platform/dialogs/dialogs.h"
#include "platform/widgets/window_building.h"
#include "proctor/results/list_helpers.h"
#include "proctor/results/question_panel.h"
#include "proctor/results/results_presenter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace exam {

using platform::makeButton;

namespace {

// A row with a very long name still leaves room for the rest of the window.
constexpr int MaxStudentListWidth = 360;

struct SortButton
{
    const char16_t *objectName;
    const char16_t *text;
    StudentColumn column;
};

const SortButton sortButtons[5] = {
    {u"CMD学号", u"考号", StudentColumn::Number},
    {u"CMD姓名", u"考生姓名", StudentColumn::Name},
    {u"CMD成绩", u"成绩", StudentColumn::Score},
    {u"Cmd名次", u"名次", StudentColumn::Rank},
    {u"Cmd剩余时间", u"剩余时间", StudentColumn::RemainingTime},
};

} // namespace

ResultsWindow::ResultsWindow(const QString &root, platform::Dialogs &dialogs, QWidget *parent,
                             ResultsRefresher::Loader loader)
    : QDialog(parent), m_root(root), m_dialogs(dialogs),
      m_presenter(new ResultsPresenter(root, this)),
      m_refresher(new ResultsRefresher(this, std::move(loader)))
{
    setObjectName(QStringLiteral("考务成绩"));
    setWindowTitle(QStringLiteral("成绩管理"));
    buildControls();
    connectControls();
    resize(1040, 660);
}

ResultsWindow::~ResultsWindow() = default;

bool ResultsWindow::start()
{
    const ResultsChoices choices = readResultsChoices(m_root);
    if (choices.papers.isEmpty()) {
        m_dialogs.message(this, QStringLiteral("对不起! 现在没有任何考试!"));
        return false;
    }
    if (choices.classes.isEmpty()) {
        m_dialogs.message(this, QStringLiteral("对不起! 现在没有任何成绩!"));
        return false;
    }
    m_papers->clear();
    m_papers->addItems(choices.papers);
    m_papers->setCurrentIndex(0);
    m_classes->clear();
    m_classes->addItems(choices.classes);
    m_classes->setCurrentIndex(0);
    m_timer->start();
    refresh();
    return true;
}

void ResultsWindow::refresh(ResultsRefresher::Trigger trigger)
{
    m_refresher->request({m_root, m_papers->currentText(), m_classes->currentText()}, trigger);
}

void ResultsWindow::buildControls()
{
    m_papers = new QComboBox(this);
    m_papers->setObjectName(QStringLiteral("Combo1"));
    m_papers->setPlaceholderText(QStringLiteral("请选择试卷"));
    m_classes = new QComboBox(this);
    m_classes->setObjectName(QStringLiteral("Combo2"));
    m_classes->setPlaceholderText(QStringLiteral("请选择班级"));
    auto *paperLabel = new QLabel(QStringLiteral("考试名称:"), this);
    paperLabel->setObjectName(QStringLiteral("Label2"));
    paperLabel->setBuddy(m_papers);
    auto *classLabel = new QLabel(QStringLiteral("班级名称:"), this);
    classLabel->setObjectName(QStringLiteral("Label1"));
    classLabel->setBuddy(m_classes);
    m_refresh = makeButton(QStringLiteral("CMD_刷新"), QStringLiteral("刷 新"), this);
    m_autoRefresh = new QCheckBox(QStringLiteral("定时自动刷新"), this);
    m_autoRefresh->setObjectName(QStringLiteral("Chk自动刷新"));
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer刷新"));
    m_timer->setInterval(AutoRefreshInterval);

    auto *choice = platform::makeRow(
        {paperLabel, {m_papers, 2}, classLabel, {m_classes, 1}, m_refresh, m_autoRefresh});

    // The students stand left of the questions: made first, they come first with Tab.
    QWidget *students = buildStudentColumns();
    m_questionPanel = new QuestionPanel(*m_presenter, this);
    auto *halves = platform::makeRow({{students, 5}, {m_questionPanel, 4}});

    auto *frame = new QGroupBox(QStringLiteral("设置当前考生"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    m_retest = makeButton(QStringLiteral("Cmd允许重考"), QStringLiteral("允许重考"), frame);
    m_delete = makeButton(QStringLiteral("Cmd删除成绩"), QStringLiteral("删除成绩"), frame);
    platform::makeRow(frame, {m_retest, m_delete});
    m_export = makeButton(QStringLiteral("Cmd输出"), QStringLiteral("输出到 EXCEL"), this);
    m_export->setEnabled(false);
    m_analyse = makeButton(QStringLiteral("Cmd质量分析"), QStringLiteral("质量分析"), this);
    m_analyse->setEnabled(false);
    m_analyse->setVisible(false);
    m_help = makeButton(QStringLiteral("CmdHELP"), QStringLiteral("帮助"), this);
    m_close = makeButton(QStringLiteral("CMD_退出"), QStringLiteral("返回"), this);

    auto *actions =
        platform::makeRow({frame, platform::Stretch{}, m_export, m_analyse, m_help, m_close});
    platform::makeColumn(this, {choice, {halves, 1}, actions});
}

QWidget *ResultsWindow::buildStudentColumns()
{
    auto *panel = new QWidget(this);
    for (int i = 0; i < 5; ++i) {
        m_sortButtons[i] = makeSortButton(QString::fromUtf16(sortButtons[i].objectName),
                                          QString::fromUtf16(sortButtons[i].text), panel);
    }
    m_names = makeRowList(QStringLiteral("List1"), QStringLiteral("单击选中考生"), panel);
    m_scores = makeRowList(QStringLiteral("List2"), QStringLiteral("单击选中考生"), panel);
    m_statistics = makeRowList(QStringLiteral("Lst统计"), QString(), panel);
    m_statistics->setMinimumWidth(200);
    m_statistics->setMaximumWidth(240);
    auto *statisticsLabel = new QLabel(QStringLiteral("统计信息:"), panel);
    statisticsLabel->setObjectName(QStringLiteral("Label4"));
    statisticsLabel->setBuddy(m_statistics);
    // Lists are not named by buddy labels for assistive technology: they carry their headings.
    m_names->setAccessibleName(QStringLiteral("考号 考生姓名"));
    m_scores->setAccessibleName(QStringLiteral("成绩 名次 剩余时间"));
    m_statistics->setAccessibleName(statisticsLabel->text());

    auto *leftHeaders = platform::makeRow({m_sortButtons[0], {m_sortButtons[1], 2}});
    auto *rightHeaders =
        platform::makeRow({m_sortButtons[2], m_sortButtons[3], {m_sortButtons[4], 2}});
    leftHeaders->setSpacing(0);
    rightHeaders->setSpacing(0);

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addLayout(leftHeaders, 0, 0);
    grid->addLayout(rightHeaders, 0, 1);
    grid->addWidget(statisticsLabel, 0, 2);
    grid->addWidget(m_names, 1, 0);
    grid->addWidget(m_scores, 1, 1);
    grid->addWidget(m_statistics, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 3);
    return panel;
}

void ResultsWindow::connectControls()
{
    connect(m_refresh, &QPushButton::clicked, this, [this]() { refresh(); });
    connect(m_papers, &QComboBox::activated, this, [this]() { refresh(); });
    connect(m_classes, &QComboBox::activated, this, [this]() { refresh(); });
    connect(m_timer, &QTimer::timeout, this, [this]() {
        if (m_autoRefresh->isChecked())
            refresh(ResultsRefresher::Trigger::Timer);
    });
    connect(m_refresher, &ResultsRefresher::started, this, [this]() { setCursor(Qt::BusyCursor); });
    connect(m_refresher, &ResultsRefresher::finished, this, &ResultsWindow::showRefreshed);

    for (int i = 0; i < 5; ++i) {
        const StudentColumn column = sortButtons[i].column;
        connect(m_sortButtons[i], &QPushButton::clicked, this,
                [this, column]() { m_presenter->sortStudents(column); });
    }
    keepInStep(m_names, m_scores);
    // The student is the one of the selected row: a row that is only current (the list got the
    // focus from the keyboard) is no choice for a retest or a deletion.
    connect(m_names, &QListWidget::itemSelectionChanged, m_presenter, [this]() {
        const int row = selectedListRow(m_names);
        if (row != m_presenter->selectedStudentRow())
            m_presenter->selectStudentRow(row);
    });
    connect(m_presenter, &ResultsPresenter::studentsChanged, this, &ResultsWindow::showStudents);
    connect(m_presenter, &ResultsPresenter::statisticsChanged, this,
            &ResultsWindow::showStatistics);

    connect(m_retest, &QPushButton::clicked, this, &ResultsWindow::allowRetest);
    connect(m_delete, &QPushButton::clicked, this, &ResultsWindow::deleteResult);
    connect(m_presenter, &ResultsPresenter::resultProfileTouched, m_refresher,
            &ResultsRefresher::invalidate);
    connect(m_export, &QPushButton::clicked, this, &ResultsWindow::exportResults);
    connect(m_analyse, &QPushButton::clicked, this, &ResultsWindow::analyseResults);
    connect(m_help, &QPushButton::clicked, this, &ResultsWindow::showHelp);
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
}

void ResultsWindow::showStudents()
{
    setRows(m_names, m_presenter->namesRows());
    setRows(m_scores, m_presenter->scoreRows());
    fitWidthToRows(m_names, MaxStudentListWidth);
    fitWidthToRows(m_scores, MaxStudentListWidth);
}

void ResultsWindow::showStatistics()
{
    setRows(m_statistics, m_presenter->statisticsRows());
}

void ResultsWindow::showRefreshed(const ResultsData &results, const ResultsRequest &request)
{
    unsetCursor();
    // The choice changed while the pass ran and a new pass follows: keep the shown figures.
    if (request.paper != m_papers->currentText() || request.className != m_classes->currentText())
        return;
    m_presenter->setData(results);
    m_export->setEnabled(true);
    m_analyse->setEnabled(true);
}

// One click must not lose a result: ask first (No is the default), and keep the file recoverable.
void ResultsWindow::deleteResult()
{
    const QString question = m_presenter->deleteQuestion();
    if (question.isEmpty())
        return;
    if (!m_dialogs.yesNo(this, question, platform::Dialogs::Button::No,
                         platform::Dialogs::Icon::Warning))
        return;
    if (const Result deleted = m_presenter->deleteResult(); !deleted)
        m_dialogs.message(this, deleted.message(), platform::Dialogs::Icon::Warning);
}

// No message when the grant is written, as before; a grant that could not be written is said, so
// the teacher does not send the student back to a login that refuses him.
void ResultsWindow::allowRetest()
{
    if (const Result granted = m_presenter->allowRetest(); !granted)
        m_dialogs.message(this, granted.message(), platform::Dialogs::Icon::Warning);
}

void ResultsWindow::exportResults()
{
    if (!m_exportHandler) {
        m_dialogs.message(this, QStringLiteral("输出到 EXCEL 的功能尚未提供。"),
                          platform::Dialogs::Icon::Information);
        return;
    }
    m_exportHandler(this, m_presenter->data());
}

void ResultsWindow::setAnalysisHandler(ExportHandler handler)
{
    m_analysisHandler = std::move(handler);
    m_analyse->setVisible(static_cast<bool>(m_analysisHandler));
}

void ResultsWindow::analyseResults()
{
    m_analysisHandler(this, m_presenter->data());
}

// "帮助" presses F1 on this window; the console turns F1 into opening its help file.
void ResultsWindow::showHelp()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
}

bool openResultsWindow(QWidget *parent, const QString &root, platform::Dialogs &dialogs,
                       ResultsWindow::ExportHandler exportHandler,
                       ResultsWindow::ExportHandler analysisHandler)
{
    ResultsWindow window(root, dialogs, parent);
    window.setExportHandler(std::move(exportHandler));
    window.setAnalysisHandler(std::move(analysisHandler));
    if (!window.start())
        return false;
    window.exec();
    return true;
}

} // namespace exam
