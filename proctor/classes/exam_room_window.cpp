#include "proctor/classes/exam_room_window.h"

#include "platform/dialogs/dialogs.h"
#include "platform/widgets/window_building.h"
#include "proctor/classes/help_key.h"
#include "proctor/classes/window_parts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace exam {

namespace {

QListWidget *list(const QString &name, const QString &toolTip, QWidget *parent)
{
    auto *result = new QListWidget(parent);
    result->setObjectName(name);
    result->setToolTip(toolTip);
    return result;
}

// Replaces the rows' texts, keeping the selected row and the scroll position.
void showTexts(QListWidget *widget, const QStringList &texts)
{
    const QSignalBlocker blocker(widget);
    const int top = widget->verticalScrollBar()->value();
    if (widget->count() == texts.size()) {
        for (int i = 0; i < texts.size(); ++i)
            widget->item(i)->setText(texts.at(i));
    } else {
        widget->clear();
        widget->addItems(texts);
    }
    widget->verticalScrollBar()->setValue(top);
}

} // namespace

int selectedRow(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

void pairLists(QListWidget *first, QListWidget *second)
{
    // Rows follow the selection, not the current row: a list that merely receives the focus
    // makes its first row current, which must not select anything.
    const auto follow = [](QListWidget *from, QListWidget *to) {
        QObject::connect(from, &QListWidget::itemSelectionChanged, to, [from, to] {
            const int row = selectedRow(from);
            if (row >= 0 && selectedRow(to) != row)
                to->setCurrentRow(row);
        });
        QObject::connect(from->verticalScrollBar(), &QScrollBar::valueChanged,
                         to->verticalScrollBar(), [to](int value) {
                             if (to->verticalScrollBar()->value() != value)
                                 to->verticalScrollBar()->setValue(value);
                         });
    };
    follow(first, second);
    follow(second, first);
}

ExamRoomWindow::ExamRoomWindow(QString systemProfilePath, platform::Dialogs &dialogs,
                               QWidget *parent)
    : QDialog(parent), m_systemProfilePath(std::move(systemProfilePath)), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("考场管理"));
    setWindowTitle(QStringLiteral("考场管理"));
    buildControls();
    connectControls();
    m_model.load(ProfileSnapshot::load(m_systemProfilePath));
    const QSignalBlocker namesBlocker(m_paperNames);
    m_paperNames->addItems(m_model.paperNames());
    const QSignalBlocker classesBlocker(m_classNames);
    m_classNames->addItems(m_model.classNames());
}

void ExamRoomWindow::buildControls()
{
    auto *paperFrame = new QGroupBox(QStringLiteral("考试名称列表"), this);
    paperFrame->setObjectName(QStringLiteral("Frame1"));
    m_paperNames = list(QStringLiteral("List11"), QStringLiteral("双击改变设置"), paperFrame);
    m_openFlags = list(QStringLiteral("List1"), QStringLiteral("单击改变设置"), paperFrame);
    auto *paperLayout = new QGridLayout(paperFrame);
    paperLayout->addWidget(makeBuddyLabel(QStringLiteral("Label5"), QStringLiteral("试卷列表"),
                                          m_paperNames, paperFrame),
                           0, 0);
    paperLayout->addWidget(makeBuddyLabel(QStringLiteral("Label6"), QStringLiteral("是否开考"),
                                          m_openFlags, paperFrame),
                           0, 1);
    paperLayout->addWidget(m_paperNames, 1, 0);
    paperLayout->addWidget(m_openFlags, 1, 1);
    paperLayout->setColumnStretch(0, 3);
    paperLayout->setColumnStretch(1, 1);

    auto *classFrame = new QGroupBox(QStringLiteral("设定参加考试的班级"), this);
    classFrame->setObjectName(QStringLiteral("Frame2"));
    m_classNames = list(QStringLiteral("List22"), QStringLiteral("双击改变设置"), classFrame);
    m_classNames->setAccessibleName(QStringLiteral("班级列表"));
    m_admissions = list(QStringLiteral("List2"), QStringLiteral("单击改变设置"), classFrame);
    auto *classLayout = new QGridLayout(classFrame);
    classLayout->addWidget(makeBuddyLabel(QStringLiteral("Label7"), QStringLiteral("是否开考"),
                                          m_admissions, classFrame),
                           0, 1);
    classLayout->addWidget(m_classNames, 1, 0);
    classLayout->addWidget(m_admissions, 1, 1);
    auto *allRow = platform::makeRow(
        {makeWindowButton(QStringLiteral("全部选定"), QStringLiteral("全部选定"),
                          QStringLiteral("允许所有的班级参加考试"), classFrame),
         makeWindowButton(QStringLiteral("全部选定取消"), QStringLiteral("全部取消"),
                          QStringLiteral("禁止所有的班级参加考试"), classFrame)});
    classLayout->addLayout(allRow, 2, 0, 1, 2);
    classLayout->setColumnStretch(0, 3);
    classLayout->setColumnStretch(1, 1);

    auto *frames = platform::makeRow({paperFrame, classFrame});
    auto *bottom = platform::makeRow(
        {platform::Stretch{},
         makeWindowButton(QStringLiteral("Command1"), QStringLiteral("确定"),
                          QStringLiteral("保存修改并返回"), this),
         makeWindowButton(QStringLiteral("Command2"), QStringLiteral("取消"),
                          QStringLiteral("不保存修改,返回"), this),
         makeWindowButton(QStringLiteral("CmdHELP"), QStringLiteral("帮助"), {}, this)});
    platform::makeColumn(this, {frames, bottom});
    resize(620, 380);
}

void ExamRoomWindow::connectControls()
{
    pairLists(m_paperNames, m_openFlags);
    pairLists(m_classNames, m_admissions);

    connect(&m_model, &ExamRoomModel::openChanged, this, &ExamRoomWindow::showOpenFlags);
    connect(&m_model, &ExamRoomModel::admissionChanged, this, &ExamRoomWindow::showAdmissions);

    connect(m_paperNames, &QListWidget::itemSelectionChanged, this, [this] {
        if (const int row = selectedRow(m_paperNames); row >= 0)
            m_model.selectPaper(row);
    });
    connect(m_paperNames, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        const int row = m_paperNames->row(item);
        m_model.toggleOpen(row);
        m_model.selectPaper(row);
    });
    connect(m_openFlags, &QListWidget::itemPressed, this,
            [this](QListWidgetItem *item) { m_model.toggleOpen(m_openFlags->row(item)); });
    connect(m_admissions, &QListWidget::itemPressed, this,
            [this](QListWidgetItem *item) { m_model.toggleAdmission(m_admissions->row(item)); });
    connect(m_classNames, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { m_model.toggleAdmission(m_classNames->row(item)); });

    connect(findChild<QPushButton *>(QStringLiteral("全部选定")), &QPushButton::clicked, &m_model,
            &ExamRoomModel::admitAll);
    connect(findChild<QPushButton *>(QStringLiteral("全部选定取消")), &QPushButton::clicked,
            &m_model, &ExamRoomModel::admitNone);
    connect(findChild<QPushButton *>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &ExamRoomWindow::confirm);
    connect(findChild<QPushButton *>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            &ExamRoomWindow::reject);
    connect(findChild<QPushButton *>(QStringLiteral("CmdHELP")), &QPushButton::clicked, this,
            [this] { sendHelpKey(this); });
}

void ExamRoomWindow::showOpenFlags()
{
    showTexts(m_openFlags, m_model.openTexts());
}

void ExamRoomWindow::showAdmissions()
{
    showTexts(m_admissions, m_model.admissionTexts());
}

void ExamRoomWindow::confirm()
{
    if (storeSystemProfile(this, m_dialogs, m_systemProfilePath,
                           QStringLiteral("考场设置没有保存成功"), [this] {
                               return writeExamRooms(m_systemProfilePath, m_model.papersToWrite(),
                                                     m_model.classNames());
                           }))
        accept();
}

} // namespace exam
