#include "proctor/analysis/quality_window.h"

#include "platform/widgets/window_building.h"
#include "proctor/analysis/quality_charts.h"
#include "proctor/analysis/quality_texts.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>

namespace exam {

namespace {

QTableWidget *makeTable(const QString &objectName, const QStringList &headers, int rows,
                        QWidget *parent)
{
    auto *table = new QTableWidget(rows, int(headers.size()), parent);
    table->setObjectName(objectName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void setRow(QTableWidget *table, int row, const QStringList &cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = new QTableWidgetItem(cells.at(column));
        item->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, column, item);
    }
}

QChartView *makeChartView(const QString &objectName, QChart *chart, QWidget *parent)
{
    auto *view = new QChartView(chart, parent);
    view->setObjectName(objectName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(chart->title());
    view->setMinimumSize(340, 260);
    return view;
}

} // namespace

QualityWindow::QualityWindow(const ResultsData &results, QualityReportContext reportContext,
                             QWidget *parent)
    : QDialog(parent), m_data(results), m_analysis(analyseItems(results)),
      m_reportContext(std::move(reportContext))
{
    setObjectName(QStringLiteral("质量分析"));
    setWindowTitle(QStringLiteral("质量分析"));

    auto *title = new QLabel(
        QStringLiteral("考试名称: %1      班级名称: %2").arg(results.paper, results.className),
        this);
    title->setObjectName(QStringLiteral("Lab标题"));
    m_report = platform::makeButton(QStringLiteral("Cmd输出PDF"), QStringLiteral("输出 PDF"), this);
    auto *close = platform::makeButton(QStringLiteral("CMD_退出"), QStringLiteral("返回"), this);
    auto *buttons = platform::makeRow({platform::Stretch{}, m_report, close});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    if (m_analysis.enoughStudents) {
        auto *top = new QHBoxLayout;
        top->addWidget(buildFigures());
        top->addWidget(buildCharts(), 1);
        layout->addLayout(top, 3);
        layout->addWidget(buildQuestions(), 2);
    } else {
        auto *tooFew = new QLabel(QString::fromUtf16(TooFewStudentsText), this);
        tooFew->setObjectName(QStringLiteral("Lab人数不足"));
        tooFew->setAlignment(Qt::AlignCenter);
        QFont font = tooFew->font();
        font.setPointSize(font.pointSize() * 2);
        tooFew->setFont(font);
        layout->addWidget(tooFew, 1);
        m_report->setEnabled(false);
    }
    layout->addLayout(buttons);

    connect(m_report, &QPushButton::clicked, this, &QualityWindow::writeReport);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    resize(1180, 780);
    if (!m_analysis.items.isEmpty() && m_analysis.enoughStudents)
        selectItem(0);
}

QWidget *QualityWindow::buildFigures()
{
    const QStringList names = paperFigureNames();
    const QStringList values = paperFigureValues(m_analysis.paper);
    auto *table =
        makeTable(QStringLiteral("Grid试卷质量"), {QStringLiteral("指标"), QStringLiteral("值")},
                  int(names.size()), this);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < names.size(); ++row)
        setRow(table, row, {names.at(row), values.at(row)});
    table->setFixedWidth(200);
    return table;
}

QWidget *QualityWindow::buildCharts()
{
    auto *panel = new QWidget(this);
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        makeChartView(QStringLiteral("Chart成绩分布"), makeScoreHistogram(m_analysis), panel));
    const ItemMap map = makeItemMap(m_analysis);
    m_points = map.points;
    layout->addWidget(makeChartView(QStringLiteral("Chart难度区分度"), map.chart, panel));
    connect(m_points, &QScatterSeries::clicked, this, &QualityWindow::clickMap);
    connect(m_points, &QScatterSeries::hovered, this, [this](const QPointF &point, bool entered) {
        const int index = nearestItem(m_analysis.items, point);
        if (entered && index >= 0)
            QToolTip::showText(QCursor::pos(), QStringLiteral("第 %1 题").arg(index + 1));
        else
            QToolTip::hideText();
    });
    return panel;
}

QWidget *QualityWindow::buildQuestions()
{
    auto *panel = new QWidget(this);
    m_questions = makeTable(QStringLiteral("Grid题目质量"), itemHeaders(),
                            int(m_analysis.items.size()), panel);
    for (int row = 0; row < m_analysis.items.size(); ++row)
        setRow(m_questions, row, itemCells(m_analysis.items.at(row)));
    m_questions->setAccessibleName(QStringLiteral("题目质量"));

    m_optionsTitle = new QLabel(panel);
    m_optionsTitle->setObjectName(QStringLiteral("Lab选项分布"));
    m_options = makeTable(QStringLiteral("Grid选项分布"), optionHeaders(), 3, panel);
    m_options->setSelectionMode(QAbstractItemView::NoSelection);
    m_options->horizontalHeader()->setStretchLastSection(false);
    m_options->verticalHeader()->setVisible(true);
    m_options->setVerticalHeaderLabels(
        {QStringLiteral("全体"), QStringLiteral("高分组"), QStringLiteral("低分组")});
    m_optionsTitle->setBuddy(m_options);
    auto *groups = new QLabel(
        QStringLiteral("高分组、低分组: 总分最高、最低的各 %1 人").arg(m_analysis.groupSize),
        panel);
    groups->setObjectName(QStringLiteral("Lab分组"));

    auto *right = new QVBoxLayout;
    right->addWidget(m_optionsTitle);
    right->addWidget(m_options);
    right->addWidget(groups);
    right->addStretch();
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_questions, 3);
    layout->addLayout(right, 2);

    connect(m_questions, &QTableWidget::itemSelectionChanged, this, [this]() {
        const QList<QTableWidgetItem *> selected = m_questions->selectedItems();
        if (!selected.isEmpty() && selected.first()->row() != m_selected)
            selectItem(selected.first()->row());
    });
    return panel;
}

void QualityWindow::selectItem(int index)
{
    if (!m_questions || index < 0 || index >= m_analysis.items.size())
        return;
    m_selected = index;
    if (m_questions->currentRow() != index)
        m_questions->selectRow(index);
    m_points->deselectAllPoints();
    m_points->selectPoint(index);
    showOptions(index);
}

void QualityWindow::clickMap(const QPointF &point)
{
    selectItem(nearestItem(m_analysis.items, point));
}

void QualityWindow::showOptions(int index)
{
    const ItemFigures &item = m_analysis.items.at(index);
    m_optionsTitle->setText(QStringLiteral("第 %1 题的选项分布（标准答案 %2）")
                                .arg(item.number)
                                .arg(answerLetters(item.standardAnswer)));
    setRow(m_options, 0, optionCells(item.all));
    setRow(m_options, 1, optionCells(item.upper));
    setRow(m_options, 2, optionCells(item.lower));
}

void QualityWindow::writeReport()
{
    runQualityReport(this, m_data, m_analysis, m_reportContext);
}

std::function<void(QWidget *, const ResultsData &)> qualityAnalyser(QualityReportContext context)
{
    return [context](QWidget *parent, const ResultsData &data) {
        QualityWindow window(data, context, parent);
        window.exec();
    };
}

} // namespace exam
