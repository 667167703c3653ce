#include "proctor/authoring/paper_management_window.h"

#include "platform/widgets/window_building.h"
#include "proctor/authoring/paper_management.h"
#include "proctor/authoring/paper_settings_panel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace exam {

PaperManagementWindow::PaperManagementWindow(const QString &repositoryRoot,
                                             platform::Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_management(new PaperManagement(repositoryRoot, dialogs, this)),
      m_list(new QListWidget(this)), m_panel(new PaperSettingsPanel(this))
{
    setObjectName(QStringLiteral("试卷管理"));
    setWindowTitle(QStringLiteral("试卷管理"));
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setToolTip(QStringLiteral("双击打开试卷进行编辑"));

    buildLayout();
    connectPanel();
    connectButtons();
    connect(m_management, &PaperManagement::listChanged, this, &PaperManagementWindow::refillList);
    connect(m_management, &PaperManagement::paperShown, this,
            &PaperManagementWindow::showSelectedPaper);
    connect(m_list, &QListWidget::currentRowChanged, m_management, &PaperManagement::select);
    connect(m_list, &QListWidget::itemDoubleClicked, m_management, &PaperManagement::editPaper);

    m_management->open();
}

QPushButton *PaperManagementWindow::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    // Enter in a field moves the focus; it must never press a button.
    button->setAutoDefault(false);
    return button;
}

void PaperManagementWindow::buildLayout()
{
    auto *listLabel = new QLabel(QStringLiteral("试卷列表"), this);
    listLabel->setBuddy(m_list);
    m_list->setAccessibleName(listLabel->text()); // a list does not take its name from a buddy

    auto *listButtons = new QGridLayout;
    listButtons->addWidget(addButton(QStringLiteral("Command6"), QStringLiteral("新建")), 0, 0);
    listButtons->addWidget(addButton(QStringLiteral("Command7"), QStringLiteral("删除")), 0, 1);
    listButtons->addWidget(addButton(QStringLiteral("Cmd上移"), QStringLiteral("上移")), 1, 0);
    listButtons->addWidget(addButton(QStringLiteral("Cmd下移"), QStringLiteral("下移")), 1, 1);

    auto *left = platform::makeColumn({listLabel, {m_list, 1}, listButtons});
    auto *top = platform::makeRow({{left, 1}, {m_panel, 3}});
    auto *transfer = platform::makeRow({
        addButton(QStringLiteral("Command1"), QStringLiteral("编辑试卷")),
        addButton(QStringLiteral("Cmd导出试卷"), QStringLiteral("导出试卷")),
        addButton(QStringLiteral("Cmd导入试卷"), QStringLiteral("导入试卷")),
        addButton(QStringLiteral("CmdToWORD"), QStringLiteral("输出到 WORD")),
        addButton(QStringLiteral("CmdToPDF"), QStringLiteral("输出到 PDF")),
        platform::Stretch{1},
        addButton(QStringLiteral("Cmd保存"), QStringLiteral("保存")),
        addButton(QStringLiteral("Command3"), QStringLiteral("确定")),
        addButton(QStringLiteral("Command4"), QStringLiteral("取消")),
        addButton(QStringLiteral("Command5"), QStringLiteral("帮助")),
    });
    platform::makeColumn(this, {{top, 1}, transfer});
    resize(820, 520);
}

void PaperManagementWindow::connectPanel()
{
    PaperManagement *m = m_management;
    PaperSettingsPanel *p = m_panel;

    // textEdited fires for the teacher's changes only; a field that the handler normalises is
    // given its new text without firing again.
    const auto keepShown = [](QLineEdit *field, const QString &shown) {
        if (field->text() != shown)
            field->setText(shown);
    };
    for (const auto &[field, column] : p->numberFields()) {
        connect(field, &QLineEdit::textEdited, this,
                [m, keepShown, field = field, column = column](const QString &text) {
                    keepShown(field, m->editNumber(column, text));
                });
    }
    connect(p->author, &QLineEdit::textEdited, this,
            [m, keepShown, p](const QString &text) { keepShown(p->author, m->editAuthor(text)); });
    connect(p->about, &QLineEdit::textEdited, m, &PaperManagement::editInstructions);
    connect(p->retestPassword, &QLineEdit::textEdited, this,
            [m](const QString &text) { m->editPassword(PaperColumn::RetestPassword, text); });
    connect(p->reloginPassword, &QLineEdit::textEdited, this,
            [m](const QString &text) { m->editPassword(PaperColumn::ReloginPassword, text); });
    connect(p->drawCount, &QLineEdit::textEdited, this, [m, p, keepShown](const QString &text) {
        keepShown(p->drawCount, m->editDrawCount(text));
        if (const PaperRow *row = m->selectedRow())
            p->fullMark->setText(row->at(PaperColumn::FullMark));
    });

    const auto passwordBox = [this, m](QCheckBox *box, QLineEdit *field, PaperColumn column) {
        connect(box, &QCheckBox::clicked, this, [m, field, column](bool on) {
            field->setText(m->setPasswordOn(column, on));
            field->setEnabled(on);
        });
    };
    passwordBox(p->retest, p->retestPassword, PaperColumn::RetestPassword);
    passwordBox(p->relogin, p->reloginPassword, PaperColumn::ReloginPassword);

    const QList<QPair<QCheckBox *, PaperColumn>> flags = {
        {p->exerciseMode, PaperColumn::ExerciseMode},
        {p->displayScore, PaperColumn::DisplayScore},
        {p->questionSort, PaperColumn::QuestionSort},
        {p->open, PaperColumn::Open},
        {p->review, PaperColumn::Review}};
    for (const auto &[box, column] : flags)
        connect(box, &QCheckBox::clicked, this,
                [m, column = column](bool on) { m->setFlag(column, on); });
    connect(p->randomDraw, &QCheckBox::clicked, this, [m, p](bool on) {
        p->drawCount->setText(m->setRandomDraw(on));
        p->setDrawCountVisible(on);
        if (const PaperRow *row = m->selectedRow())
            p->fullMark->setText(row->at(PaperColumn::FullMark));
    });

    // Enter walks the fields in the order the teacher fills them in.
    const QList<QPair<QLineEdit *, QLineEdit *>> enterOrder = {
        {p->testTime, p->author}, {p->author, p->defaultMark}, {p->defaultMark, p->aGrade},
        {p->aGrade, p->bGrade},   {p->bGrade, p->cGrade},      {p->cGrade, p->dGrade},
        {p->about, p->testTime}};
    for (const auto &[from, to] : enterOrder) {
        connect(from, &QLineEdit::returnPressed, to,
                [to = to] { to->setFocus(Qt::TabFocusReason); });
    }
}

void PaperManagementWindow::connectButtons()
{
    const auto button = [this](const char *name) {
        return findChild<QPushButton *>(QString::fromUtf8(name));
    };
    PaperManagement *m = m_management;
    connect(button("Command6"), &QPushButton::clicked, m, &PaperManagement::newPaper);
    connect(button("Command7"), &QPushButton::clicked, m, &PaperManagement::deletePaper);
    connect(button("Cmd上移"), &QPushButton::clicked, m, &PaperManagement::moveUp);
    connect(button("Cmd下移"), &QPushButton::clicked, m, &PaperManagement::moveDown);
    connect(button("Cmd保存"), &QPushButton::clicked, m, &PaperManagement::save);
    connect(button("Command1"), &QPushButton::clicked, m, &PaperManagement::editPaper);
    connect(button("Cmd导出试卷"), &QPushButton::clicked, m, &PaperManagement::exportPaper);
    connect(button("Cmd导入试卷"), &QPushButton::clicked, m, &PaperManagement::importPaper);
    connect(button("CmdToWORD"), &QPushButton::clicked, m, &PaperManagement::exportToWord);
    connect(button("CmdToPDF"), &QPushButton::clicked, m, &PaperManagement::exportToPdf);
    connect(button("Command3"), &QPushButton::clicked, this, [this] {
        if (m_management->saveForClosing())
            accept();
    });
    connect(button("Command4"), &QPushButton::clicked, this, &QDialog::reject);
    connect(button("Command5"), &QPushButton::clicked, this, &PaperManagementWindow::showHelp);
}

void PaperManagementWindow::refillList()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->addItems(m_management->table().names());
    m_list->setCurrentRow(m_management->selection());
}

void PaperManagementWindow::showSelectedPaper()
{
    {
        const QSignalBlocker blocker(m_list);
        if (m_list->count() == m_management->table().count())
            m_list->setCurrentRow(m_management->selection());
    }
    m_panel->showRow(m_management->selectedRow());
}

// "帮助" presses F1 on this window; the console turns F1 into opening its help file.
void PaperManagementWindow::showHelp()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &press);
}

} // namespace exam
