// The layout of the paper editor window: the grid with its buttons, the question frame and the
// bank frame side by side, the default mark and the closing buttons below.

#include "platform/widgets/window_building.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_editor_window.h"
#include "proctor/authoring/question_bank.h"
#include "proctor/authoring/question_bank_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

namespace exam {

namespace {

constexpr int TwipsPerPixel = 15;

QLabel *labelFor(const QString &name, const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QPushButton *PaperEditorWindow::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QGroupBox *PaperEditorWindow::buildQuestionFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("题目"), this);
    frame->setObjectName(QStringLiteral("Frame考题"));
    m_questionEdit->setObjectName(QStringLiteral("RichTextBox1"));
    m_questionEdit->setAccessibleName(QStringLiteral("考题内容"));
    m_questionEdit->setDocument(m_editor->questionDocument());
    m_explanationEdit->setObjectName(QStringLiteral("RichTextBox2"));
    m_explanationEdit->setDocument(m_editor->explanationDocument());
    // Tab moves on to the next control, as in the form the editor follows, so no keyboard user is
    // caught in a text; a tab character is pasted in.
    m_questionEdit->setTabChangesFocus(true);
    m_explanationEdit->setTabChangesFocus(true);

    auto *answers = new QHBoxLayout;
    const QStringList captions = {QStringLiteral("1.A -是"), QStringLiteral("2.B -非"),
                                  QStringLiteral("3.C"),     QStringLiteral("4.D"),
                                  QStringLiteral("5.E"),     QStringLiteral("6.F"),
                                  QStringLiteral("7.G")};
    for (int k = 1; k <= OptionCount; ++k) {
        auto *box = new QCheckBox(captions.at(k - 1), frame);
        box->setObjectName(QStringLiteral("Chk答案_") + QString::number(k));
        box->setAutoFillBackground(true);
        m_answers[static_cast<size_t>(k - 1)] = box;
        paintAnswerBox(box);
    }
    answers->addWidget(
        labelFor(QStringLiteral("Label3"), QStringLiteral("标准答案:"), m_answers[0], frame));
    for (QCheckBox *box : m_answers)
        answers->addWidget(box);
    answers->addStretch(1);

    m_mark->setObjectName(QStringLiteral("Text分值"));
    m_mark->setMaximumWidth(80);
    m_useDefault->setObjectName(QStringLiteral("Chk使用默认分值"));
    auto *markLabel =
        labelFor(QStringLiteral("Label1"), QStringLiteral("本题分值:"), m_mark, frame);
    auto *marks = platform::makeRow({markLabel, m_mark, m_useDefault, platform::Stretch{1}});

    auto *explanationLabel =
        labelFor(QStringLiteral("Label2"), QStringLiteral("解题辅导"), m_explanationEdit, frame);
    platform::makeColumn(
        frame, {{m_questionEdit, 3}, answers, marks, explanationLabel, {m_explanationEdit, 2}});
    return frame;
}

void PaperEditorWindow::buildLayout()
{
    m_grid->setObjectName(QStringLiteral("Grid试卷"));
    // Tab leaves the grid (the arrow keys move between its cells), so no keyboard user is caught.
    m_grid->setTabKeyNavigation(false);
    m_grid->setAccessibleName(QStringLiteral("考题列表"));
    m_grid->setColumnCount(2);
    m_grid->setHorizontalHeaderLabels({QStringLiteral(" 题号"), QStringLiteral(" 考题内容")});
    m_grid->setColumnWidth(0, 800 / TwipsPerPixel);
    // The text column takes the room the window has (10000 twips and more); the number column
    // keeps its 800 twips.
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *moves = new QGridLayout;
    moves->addWidget(addButton(QStringLiteral("Cmd上一题"), QStringLiteral("< 上一题")), 0, 0);
    moves->addWidget(addButton(QStringLiteral("Cmd下一题"), QStringLiteral("下一题 >")), 0, 1);
    moves->addWidget(addButton(QStringLiteral("Cmd上移"), QStringLiteral("上移")), 0, 2);
    moves->addWidget(addButton(QStringLiteral("Cmd下移"), QStringLiteral("下移")), 0, 3);
    moves->addWidget(addButton(QStringLiteral("Cmd_Insert"), QStringLiteral("插入")), 0, 4);
    QPushButton *deleteButton = addButton(QStringLiteral("Cmd_Delete"), QStringLiteral("删除"));
    moves->addWidget(deleteButton, 0, 5);

    auto *left = platform::makeColumn({{m_grid, 1}, moves});

    m_questionFrame = buildQuestionFrame();
    m_bankFrame = new QuestionBankPanel(*m_bank, this);
    m_bankFrame->hide();
    auto *top = platform::makeRow({{left, 1}, {m_questionFrame, 1}, {m_bankFrame, 1}});

    m_defaultMark->setObjectName(QStringLiteral("Text设置默认分值"));
    m_defaultMark->setMaximumWidth(80);
    m_bankButton = addButton(QStringLiteral("Cmd显示题库"), m_bank->buttonCaption());
    m_bankButton->setToolTip(m_bank->buttonToolTip());
    auto *defaultMarkLabel =
        labelFor(QStringLiteral("Label5"), QStringLiteral("默认分值"), m_defaultMark, this);
    QPushButton *importButton =
        addButton(QStringLiteral("Cmd导入题目"), QStringLiteral("导入题目…"));
    importButton->setToolTip(
        QStringLiteral("从 Aiken、GIFT 或 Moodle XML 文件导入考题,放在当前考题之后"));
    auto *bottom = platform::makeRow(
        {defaultMarkLabel, m_defaultMark, m_bankButton, importButton, platform::Stretch{1},
         addButton(QStringLiteral("Cmd_ok"), QStringLiteral("确定")),
         addButton(QStringLiteral("Cmd_Cancel"), QStringLiteral("取消")),
         addButton(QStringLiteral("CMD_HELP"), QStringLiteral("帮助"))});
    platform::makeColumn(this, {{top, 1}, bottom});
    resize(1100, 680);

    // The fields made before the layout take their places in the Tab order as they stand: the
    // question frame after the question buttons, the default mark before the bank button.
    QList<QWidget *> chain{deleteButton, m_questionEdit};
    chain.append(QList<QWidget *>(m_answers.cbegin(), m_answers.cend()));
    chain << m_mark << m_useDefault << m_explanationEdit << m_defaultMark << m_bankButton
          << importButton;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

} // namespace exam
