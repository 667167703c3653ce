#include "proctor/authoring/paper_editor_window.h"

#include "platform/dialogs/dialogs.h"
#include "proctor/authoring/paper_editor.h"
#include "proctor/authoring/paper_editor_menus.h"
#include "proctor/authoring/question_bank.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QTextEdit>

namespace exam {

namespace {

const QColor TickedColour(192, 0, 0);
const QColor ClearColour(192, 255, 255);

QString oneLine(QString text)
{
    return text.replace(u'\n', u' ').replace(u'\t', u' ');
}

} // namespace

PaperEditorWindow::PaperEditorWindow(const QString &repositoryRoot, const QString &paper,
                                     const QString &workingFolder, platform::Dialogs &dialogs,
                                     RandomSource &random, QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs),
      m_editor(new PaperEditor(repositoryRoot, paper, workingFolder, dialogs, random, this)),
      m_bank(new QuestionBank(repositoryRoot, *m_editor, dialogs, this)),
      m_grid(new QTableWidget(this)), m_questionEdit(new QTextEdit(this)),
      m_explanationEdit(new QTextEdit(this)), m_mark(new QLineEdit(this)),
      m_useDefault(new QCheckBox(QStringLiteral("使用默认分值"), this)),
      m_defaultMark(new QLineEdit(this))
{
    setObjectName(QStringLiteral("编辑试卷"));
    buildLayout();
    connectControls();

    const Result opened = m_editor->open();
    m_open = opened.ok();
    setWindowTitle(m_editor->windowTitle());
    if (!m_open) {
        m_dialogs.message(this, opened.message(), platform::Dialogs::Icon::Warning);
        return;
    }
    m_defaultMark->setText(QString::number(m_editor->table().defaultMark()));
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
    connect(button("Cmd导入题目"), &QPushButton::clicked, e, &PaperEditor::importQuestionFile);

    connect(m_grid, &QTableWidget::currentCellChanged, e, [e](int row) {
        if (row + 1 != e->current())
            e->select(row + 1);
    });
    QMenu *gridMenu = makeGridMenu(e, this);
    connect(m_grid, &QWidget::customContextMenuRequested, gridMenu,
            [this, gridMenu](const QPoint &at) {
                gridMenu->popup(m_grid->viewport()->mapToGlobal(at));
            });
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
    const OptionTicks ticks = m_editor->answerTicks();
    for (int k = 0; k < OptionCount; ++k) {
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
                           .arg(colour.name(), box->isChecked() ? QStringLiteral("white")
                                                                : QStringLiteral("black")));
}

void PaperEditorWindow::answerBoxClicked()
{
    OptionTicks ticks{};
    for (int k = 0; k < OptionCount; ++k)
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
    if (const Result saved = m_editor->save(); !saved) {
        m_dialogs.message(this, saved.message(), platform::Dialogs::Icon::Warning);
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
