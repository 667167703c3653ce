#pragma once

// The results window 考务成绩 ("成绩管理"): the teacher picks a paper and a class and sees the
// students' scores, the statistics and the per-question analysis, refreshed on demand or every
// 30 seconds while an exam runs. Reading happens on worker threads (ResultsRefresher); the window
// only shows what ResultsPresenter holds.

#include "proctor/results/results_refresher.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QTimer;
namespace exam::platform {
class Dialogs;
} // namespace exam::platform

namespace exam {

class QuestionPanel;
class ResultsPresenter;

class ResultsWindow : public QDialog
{
    Q_OBJECT

public:
    // The workbook export, given the data of the last refresh.
    using ExportHandler = std::function<void(QWidget *parent, const ResultsData &data)>;

    static constexpr int AutoRefreshInterval = 30000; // ms

    // `root`: the repository root. Without a loader, the repository is read by loadResults().
    ResultsWindow(const QString &root, platform::Dialogs &dialogs, QWidget *parent = nullptr,
                  ResultsRefresher::Loader loader = {});
    ~ResultsWindow() override;

    // Fills the paper and class choices and starts the first refresh. When the repository has no
    // paper or no class it says so and returns false: the window is then not to be shown.
    bool start();

    // A refresh of the chosen paper and class (see ResultsRefresher for overlapping requests).
    void refresh(ResultsRefresher::Trigger trigger = ResultsRefresher::Trigger::User);

    void setExportHandler(ExportHandler handler) { m_exportHandler = std::move(handler); }
    // What "质量分析" does with the data of the last refresh; the button shows only with one.
    void setAnalysisHandler(ExportHandler handler);

    ResultsPresenter &presenter() { return *m_presenter; }
    ResultsRefresher &refresher() { return *m_refresher; }

private:
    void buildControls();
    void connectControls();
    QWidget *buildStudentColumns();
    void showStudents();
    void showStatistics();
    void showRefreshed(const ResultsData &results, const ResultsRequest &request);
    void allowRetest();
    void deleteResult();
    void exportResults();
    void analyseResults();
    void showHelp();

    QString m_root;
    platform::Dialogs &m_dialogs;
    ResultsPresenter *m_presenter = nullptr;
    ResultsRefresher *m_refresher = nullptr;
    ExportHandler m_exportHandler;
    ExportHandler m_analysisHandler;

    QComboBox *m_papers = nullptr;
    QComboBox *m_classes = nullptr;
    QPushButton *m_refresh = nullptr;
    QCheckBox *m_autoRefresh = nullptr;
    QTimer *m_timer = nullptr;
    QPushButton *m_sortButtons[5] = {};
    QListWidget *m_names = nullptr;
    QListWidget *m_scores = nullptr;
    QListWidget *m_statistics = nullptr;
    QPushButton *m_retest = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_analyse = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_close = nullptr;
    QuestionPanel *m_questionPanel = nullptr;
};

// Opens the results window modally over `parent` and returns true when it has been closed. When
// the repository has no paper or no class it returns false at once, after the message; only the
// results window closes, never the console. `exportHandler` is what "输出到 EXCEL" does,
// `analysisHandler` what "质量分析" does.
bool openResultsWindow(QWidget *parent, const QString &root, platform::Dialogs &dialogs,
                       ResultsWindow::ExportHandler exportHandler = {},
                       ResultsWindow::ExportHandler analysisHandler = {});

} // namespace exam
