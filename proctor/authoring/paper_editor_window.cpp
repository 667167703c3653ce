#include "proctor/authoring/paper_editor_window.h"

#include "platform/dialogs/dialogs.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_editor_menus.h"
#include "proctor/authoring/question_bank.h"
#include "proctor/authoring/question_bank_panel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace exam {

namespace {

const QColor TickedColour(192, 0, 0);
const QColor ClearColour(192, 255, 255);
constexpr int TwipsPerPixel = 15;

QString oneLine(QString text)
{
    return text.replace(u'\n', u' ').replace(u'\t', u' ');
}

QLabel *labelFor(const QString &name, const QString &caption, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

} // namespace

PaperEditorWindow::PaperEditorWindow(const QString &repositoryRoot, const QString &paper,
                                     const QString &workingFolder, Dialogs &dialogs,
                                     RandomSource &random, QWidget *parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_editor(new PaperEditor(repositoryRoot, paper, workingFolder, dialogs, random, this)),
      m_bank(new QuestionBank(repositoryRoot, *m_editor, dialogs, this)),
      m_grid(new QTableWidget(this)),
      m_questionEdit(new QTextEdit(this)),
      m_explanationEdit(new QTextEdit(this)),
      m_mark(new QLineEdit(this)),
      m_useDefault(new QCheckBox(QStringLiteral("使用默认分值"), this)),
      m_defaultMark(new QLineEdit(this))
{
    setObjectName(QStringLiteral("编辑试卷"));
    m_editor->setDialogParent(this);
    m_bank->setDialogParent(this);
    buildLayout();
    connectControls();

    QString error;
    m_open = m_editor->open(&error);
    setWindowTitle(m_editor->windowTitle());
    if (!m_open) {
        m_dialogs.message(this, error, Dialogs::Icon::Warning);
        return;
    }
    m_defaultMark->setText(QString::number(m_editor->table().defaultMark()));
}

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

    auto *answers = new QHBoxLayout;
    const QStringList captions = {QStringLiteral("1.A -是"), QStringLiteral("2.B -非"),
                                  QStringLiteral("3.C"),     QStringLiteral("4.D"),
                                  QStringLiteral("5.E"),     QStringLiteral("6.F"),
                                  QStringLiteral("7.G")};
    for (int k = 1; k <= AnswerOptionCount; ++k) {
        auto *box = new QCheckBox(captions.at(k - 1), frame);
        box->setObjectName(QStringLiteral("Chk答案_") + QString::number(k));
        box->setAutoFillBackground(true);
        m_answers[static_cast<size_t>(k - 1)] = box;
        paintAnswerBox(box);
    }
    answers->addWidget(labelFor(QStringLiteral("Label3"), QStringLiteral("标准答案:"), m_answers[0], frame));
    for (QCheckBox *box : m_answers)
        answers->addWidget(box);
    answers->addStretch(1);

    m_mark->setObjectName(QStringLiteral("Text分值"));
    m_mark->setMaximumWidth(80);
    m_useDefault->setObjectName(QStringLiteral("Chk使用默认分值"));
    auto *marks = new QHBoxLayout;
    marks->addWidget(labelFor(QStringLiteral("Label1"), QStringLiteral("本题分值:"), m_mark, frame));
    marks->addWidget(m_mark);
    marks->addWidget(m_useDefault);
    marks->addStretch(1);

    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(m_questionEdit, 3);
    layout->addLayout(answers);
    layout->addLayout(marks);
    layout->addWidget(labelFor(QStringLiteral("Label2"), QStringLiteral("解题辅导"), m_explanationEdit, frame));
    layout->addWidget(m_explanationEdit, 2);
    return frame;
}

void PaperEditorWindow::buildLayout()
{
    m_grid->setObjectName(QStringLiteral("Grid试卷"));
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
    moves->addWidget(addButton(QStringLiteral("Cmd_Delete"), QStringLiteral("删除")), 0, 5);

    auto *left = new QVBoxLayout;
    left->addWidget(m_grid, 1);
    left->addLayout(moves);

    m_questionFrame = buildQuestionFrame();
    m_bankFrame = new QuestionBankPanel(*m_bank, this);
    m_bankFrame->hide();
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(m_questionFrame, 1);
    top->addWidget(m_bankFrame, 1);

    m_defaultMark->setObjectName(QStringLiteral("Text设置默认分值"));
    m_defaultMark->setMaximumWidth(80);
    m_bankButton = addButton(QStringLiteral("Cmd显示题库"), m_bank->buttonCaption());
    m_bankButton->setToolTip(m_bank->buttonToolTip());
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(labelFor(QStringLiteral("Label5"), QStringLiteral("默认分值"), m_defaultMark, this));
    bottom->addWidget(m_defaultMark);
    bottom->addWidget(m_bankButton);
    bottom->addStretch(1);
    bottom->addWidget(addButton(QStringLiteral("Cmd_ok"), QStringLiteral("确定")));
    bottom->addWidget(addButton(QStringLiteral("Cmd_Cancel"), QStringLiteral("取消")));
    bottom->addWidget(addButton(QStringLiteral("CMD_HELP"), QStringLiteral("帮助")));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(1100, 680);
}

void PaperEditorWindow::connectControls()
{
    const auto button = [this](const char *name) {
        return findChild<QPushButton *>(QString::fromUtf8(name));
    };
    PaperEditor *e = m_editor;
    connect(button("Cmd上一题"), &QPushButton::clicked, e, &PaperEditor::previous);
    connect(button("Cmd下一题"), &QPushButton::clicked, e, &PaperEditor::next);
    connect(button("Cmd上移"), &QPushButton::clicked, e, &PaperEditor::moveUp);
    connect(button("Cmd下移"), &QPushButton::clicked, e, &PaperEditor::moveDown);
    connect(button("Cmd_Insert"), &QPushButton::clicked, e, &PaperEditor::insert);
    connect(button("Cmd_Delete"), &QPushButton::clicked, e, &PaperEditor::remove);
    connect(button("Cmd_ok"), &QPushButton::clicked, this, &PaperEditorWindow::ok);
    connect(button("Cmd_Cancel"), &QPushButton::clicked, this, &PaperEditorWindow::reject);
    connect(button("CMD_HELP"), &QPushButton::clicked, this, &PaperEditorWindow::showHelp);
    connect(m_bankButton, &QPushButton::clicked, m_bank, &QuestionBank::toggle);

    connect(m_grid, &QTableWidget::currentCellChanged, e,
            [e](int row) {
                if (row + 1 != e->current())
                    e->select(row + 1);
            });
    QMenu *gridMenu = makeGridMenu(e, this);
    connect(m_grid, &QWidget::customContextMenuRequested, gridMenu,
            [this, gridMenu](const QPoint &at) { gridMenu->popup(m_grid->viewport()->mapToGlobal(at)); });
    makeRichTextMenu(m_questionEdit, questionEditorMenuNames(), m_dialogs, this);
    makeRichTextMenu(m_explanationEdit, explanationEditorMenuNames(), m_dialogs, this);

    // clicked comes from the mouse and from the keyboard alike: both record the answer.
    for (QCheckBox *box : m_answers) {
        connect(box, &QCheckBox::toggled, this, [this, box] { paintAnswerBox(box); });
        connect(box, &QCheckBox::clicked, this, &PaperEditorWindow::answerBoxClicked);
    }
    connect(m_useDefault, &QCheckBox::clicked, e, &PaperEditor::setUsesDefaultMark);
    connect(m_mark, &QLineEdit::textEdited, e, &PaperEditor::editOwnMark);
    connect(m_defaultMark, &QLineEdit::textEdited, e, &PaperEditor::editDefaultMark);

    connect(e, &PaperEditor::listChanged, this, &PaperEditorWindow::showList);
    connect(e, &PaperEditor::rowTextChanged, this, &PaperEditorWindow::showRowText);
    connect(e, &PaperEditor::currentChanged, this, &PaperEditorWindow::showCurrentRow);
    connect(e, &PaperEditor::questionShown, this, &PaperEditorWindow::showQuestionFields);
    connect(e, &PaperEditor::captionChanged, this,
            [this] { m_questionFrame->setTitle(m_editor->frameCaption()); });
    connect(e, &PaperEditor::questionEditorWanted, this, [this] {
        if (m_questionEdit->isVisible())
            m_questionEdit->setFocus(Qt::OtherFocusReason);
    });
    connect(m_bank, &QuestionBank::shownChanged, this, [this](bool shown) {
        m_questionFrame->setVisible(!shown);
        m_bankFrame->setVisible(shown);
        m_bankButton->setText(m_bank->buttonCaption());
        m_bankButton->setToolTip(m_bank->buttonToolTip());
    });
}

void PaperEditorWindow::showList()
{
    const QSignalBlocker blocker(m_grid);
    const QuestionTable &table = m_editor->table();
    m_grid->setRowCount(table.count());
    for (int k = 1; k <= table.count(); ++k) {
        m_grid->setItem(k - 1, 0, new QTableWidgetItem(u' ' + QString::number(k)));
        m_grid->setItem(k - 1, 1, new QTableWidgetItem(oneLine(table.plainText(k))));
    }
    m_grid->setCurrentCell(m_editor->current() - 1, 0);
}

void PaperEditorWindow::showRowText(int row)
{
    if (QTableWidgetItem *item = m_grid->item(row - 1, 1))
        item->setText(oneLine(m_editor->table().plainText(row)));
}

void PaperEditorWindow::showCurrentRow()
{
    const QSignalBlocker blocker(m_grid);
    m_grid->setCurrentCell(m_editor->current() - 1, 0);
}

void PaperEditorWindow::showQuestionFields()
{
    const AnswerTicks ticks = m_editor->answerTicks();
    for (int k = 0; k < AnswerOptionCount; ++k) {
        QCheckBox *box = m_answers[static_cast<size_t>(k)];
        const QSignalBlocker blocker(box);
        box->setChecked(ticks[static_cast<size_t>(k)]);
        paintAnswerBox(box);
    }
    const QSignalBlocker blocker(m_useDefault);
    m_useDefault->setChecked(m_editor->usesDefaultMark());
    m_mark->setText(m_editor->markFieldText());
    m_mark->setEnabled(!m_editor->usesDefaultMark());
}

void PaperEditorWindow::paintAnswerBox(QCheckBox *box)
{
    const QColor colour = box->isChecked() ? TickedColour : ClearColour;
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
    // Styles paint a check box's face from their own colours; the sheet makes the colour show.
    box->setStyleSheet(QStringLiteral("QCheckBox { background-color: %1; color: %2; }")
                           .arg(colour.name(), box->isChecked() ? QStringLiteral("white") : QStringLiteral("black")));
}

void PaperEditorWindow::answerBoxClicked()
{
    AnswerTicks ticks{};
    for (int k = 0; k < AnswerOptionCount; ++k)
        ticks[static_cast<size_t>(k)] = m_answers[static_cast<size_t>(k)]->isChecked();
    m_editor->setAnswerTicks(ticks);
}

void PaperEditorWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_open)
        m_editor->activate();
}

void PaperEditorWindow::ok()
{
    QString error;
    if (!m_editor->save(&error)) {
        m_dialogs.message(this, error, Dialogs::Icon::Warning);
        return;
    }
    accept();
}

void PaperEditorWindow::reject()
{
    if (m_editor->confirmClose())
        QDialog::reject();
}

void PaperEditorWindow::done(int result)
{
    QDialog::done(result);
    if (m_open)
        m_editor->clearWorkingFolder();
}

// "帮助" presses F1 on this window; the console turns F1 into opening its help file.
void PaperEditorWindow::showHelp()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
}

} // namespace exam
