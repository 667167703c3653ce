#include "proctor/authoring/question_bank_panel.h"

#include "proctor/authoring/question_bank.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>

namespace exam {

namespace {

// List rows show a question's text on one line.
QString oneLine(QString text)
{
    return text.replace(u'\n', u' ').replace(u'\t', u' ');
}

} // namespace

QuestionBankPanel::QuestionBankPanel(QuestionBank &bank, QWidget *parent)
    : QGroupBox(QStringLiteral("题库"), parent), m_bank(bank), m_papers(new QComboBox(this)),
      m_questions(new QListWidget(this)), m_preview(new QTextEdit(this)),
      m_import(new QPushButton(QStringLiteral("<- 从题库导入试题 <-"), this))
{
    setObjectName(QStringLiteral("Fra题库"));
    m_papers->setObjectName(QStringLiteral("Combo1"));
    m_papers->setAccessibleName(QStringLiteral("题库试卷"));
    m_questions->setObjectName(QStringLiteral("List题库试题"));
    m_questions->setToolTip(QStringLiteral("Dblclick to input question "));
    m_questions->setAccessibleName(QStringLiteral("题库试题"));
    m_preview->setObjectName(QStringLiteral("Rich题库试题"));
    m_preview->setAccessibleName(QStringLiteral("题库试题内容"));
    m_preview->setReadOnly(true);
    m_preview->setDocument(bank.preview());
    m_import->setObjectName(QStringLiteral("Cmd导入考题"));
    m_import->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_papers);
    layout->addWidget(m_questions, 2);
    layout->addWidget(m_preview, 3);
    layout->addWidget(m_import);

    connect(m_papers, &QComboBox::activated, &bank, &QuestionBank::choosePaper);
    connect(m_questions, &QListWidget::currentRowChanged, &bank, &QuestionBank::chooseQuestion);
    connect(m_questions, &QListWidget::itemDoubleClicked, &bank, &QuestionBank::importSelected);
    connect(m_import, &QPushButton::clicked, &bank, &QuestionBank::importSelected);
    connect(&bank, &QuestionBank::papersChanged, this, &QuestionBankPanel::showPapers);
    connect(&bank, &QuestionBank::questionsChanged, this, &QuestionBankPanel::showQuestions);
    connect(&bank, &QuestionBank::selectionChanged, this, &QuestionBankPanel::showSelection);
    connect(&bank, &QuestionBank::listFocusWanted, m_questions,
            [this] { m_questions->setFocus(Qt::OtherFocusReason); });
}

void QuestionBankPanel::showPapers()
{
    const QSignalBlocker blocker(m_papers);
    m_papers->clear();
    m_papers->addItems(m_bank.paperNames());
}

void QuestionBankPanel::showQuestions()
{
    {
        const QSignalBlocker blocker(m_papers);
        m_papers->setCurrentIndex(m_bank.paperIndex());
    }
    const QSignalBlocker blocker(m_questions);
    m_questions->clear();
    for (const QString &text : m_bank.questionTexts())
        m_questions->addItem(oneLine(text));
    m_questions->setCurrentRow(-1);
}

void QuestionBankPanel::showSelection(int index)
{
    const QSignalBlocker blocker(m_questions);
    m_questions->setCurrentRow(index);
}

} // namespace exam
