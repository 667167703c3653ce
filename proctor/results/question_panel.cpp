#include "proctor/results/question_panel.h"

#include "platform/rtf/rtf.h"
#include "platform/widgets/window_building.h"
#include "proctor/results/list_helpers.h"
#include "proctor/results/results_presenter.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>

namespace exam {

QuestionPanel::QuestionPanel(ResultsPresenter &presenter, QWidget *parent)
    : QWidget(parent), m_presenter(presenter)
{
    buildControls();
    keepInStep(m_questions, m_answers);

    connect(m_sortNumber, &QPushButton::clicked, this,
            [this]() { m_presenter.sortQuestions(QuestionColumn::Number); });
    connect(m_sortAnswer, &QPushButton::clicked, this,
            [this]() { m_presenter.sortQuestions(QuestionColumn::StandardAnswer); });
    connect(m_sortRate, &QPushButton::clicked, this,
            [this]() { m_presenter.sortQuestions(QuestionColumn::CorrectRate); });
    connect(m_questions, &QListWidget::itemSelectionChanged, &m_presenter,
            [this]() { m_presenter.selectQuestionRow(selectedListRow(m_questions)); });

    connect(&m_presenter, &ResultsPresenter::questionsChanged, this, &QuestionPanel::showQuestions);
    connect(&m_presenter, &ResultsPresenter::answersChanged, this, &QuestionPanel::showAnswers);
    connect(&m_presenter, &ResultsPresenter::questionSelected, this,
            &QuestionPanel::showSelectedQuestion);
}

QColor QuestionPanel::neutralColor() const
{
    return palette().color(QPalette::Button);
}

void QuestionPanel::buildControls()
{
    m_sortNumber = makeSortButton(QStringLiteral("Cmd题号"), QStringLiteral("题号"), this);
    // Made in the order they stand, which is the order Tab goes.
    m_sortRate = makeSortButton(QStringLiteral("Cmd得分率"), QStringLiteral("得分率%"), this);
    m_sortAnswer = makeSortButton(QStringLiteral("Cmd标准答案"), QStringLiteral("标准答案"), this);
    m_questions = makeRowList(QStringLiteral("List5"), QStringLiteral("单击选中考题"), this);
    m_answers = makeRowList(QStringLiteral("List6"), QString(), this);
    // Lists are not named by buddy labels for assistive technology: they carry their headings.
    m_questions->setAccessibleName(QStringLiteral("题号 得分率% 标准答案"));
    m_answers->setAccessibleName(QStringLiteral("当前考生所选答案"));
    auto *answersLabel = new QLabel(QStringLiteral("当前考生所选答案"), this);
    answersLabel->setObjectName(QStringLiteral("Label13"));
    answersLabel->setBuddy(m_answers);

    auto *lists = new QGridLayout;
    auto *headers = platform::makeRow({m_sortNumber, m_sortRate, m_sortAnswer});
    headers->setSpacing(0);
    lists->addLayout(headers, 0, 0);
    lists->addWidget(answersLabel, 0, 1);
    lists->addWidget(m_questions, 1, 0);
    lists->addWidget(m_answers, 1, 1);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);

    auto *textLabel = new QLabel(QStringLiteral("题号"), this);
    textLabel->setObjectName(QStringLiteral("label3"));
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("Rich考题"));
    m_text->setReadOnly(true);
    textLabel->setBuddy(m_text);

    auto *frame = new QGroupBox(QStringLiteral("当前考题的考生答案分布"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *cells = new QGridLayout(frame);
    for (int k = 0; k < int(m_cells.size()); ++k) {
        auto *caption =
            new QLabel(k == 0 ? QStringLiteral("未作答人数") : QStringLiteral("%1:").arg(k), frame);
        auto *cell = new QLabel(QStringLiteral("0"), frame);
        cell->setObjectName(QStringLiteral("Lab分布_%1").arg(k));
        cell->setAlignment(Qt::AlignCenter);
        cell->setMinimumWidth(36);
        cell->setFrameShape(QFrame::Panel);
        cell->setFrameShadow(QFrame::Sunken);
        cell->setAutoFillBackground(true);
        caption->setBuddy(cell);
        setCellColor(cell, neutralColor());
        cells->addWidget(caption, 0, k);
        cells->addWidget(cell, 1, k);
        m_cells[k] = cell;
    }

    auto *layout = platform::makeColumn(this, {{lists, 3}, textLabel, {m_text, 2}, frame});
    layout->setContentsMargins(0, 0, 0, 0);
}

// The question list and the answers beside it stay where the teacher scrolled them, with the
// selected question in view.
void QuestionPanel::showQuestions()
{
    const int row = m_presenter.selectedQuestionRow();
    setRows(m_questions, m_presenter.questionRows(), row, RowsView::Keep);
    setRows(m_answers, m_presenter.answerRows(), row, RowsView::Keep);
}

void QuestionPanel::showAnswers()
{
    setRows(m_answers, m_presenter.answerRows(), m_presenter.selectedQuestionRow(), RowsView::Keep);
}

void QuestionPanel::showSelectedQuestion()
{
    const AnswerDistribution distribution = m_presenter.selectedDistribution();
    for (int k = 0; k < int(m_cells.size()); ++k) {
        m_cells[k]->setText(QString::number(distribution.counts[k]));
        setCellColor(m_cells[k], distribution.highlighted[k] ? highlightColor() : neutralColor());
    }

    m_text->clear();
    m_text->setPlaceholderText(QString());
    if (m_presenter.selectedQuestion() == 0)
        return;
    const QString file = m_presenter.selectedQuestionFile();
    if (file.isEmpty()) {
        m_text->setPlaceholderText(QStringLiteral("试卷中没有本题的题目文件。"));
        return;
    }
    if (const Result loaded = rtf::loadRtfFile(file, m_text->document()); !loaded)
        m_text->setPlaceholderText(loaded.message().isEmpty()
                                       ? QStringLiteral("无法读取本题的题目文件。")
                                       : loaded.message());
}

void QuestionPanel::setCellColor(QLabel *cell, const QColor &color)
{
    QPalette palette = cell->palette();
    palette.setColor(QPalette::Window, color);
    cell->setPalette(palette);
}

} // namespace exam
