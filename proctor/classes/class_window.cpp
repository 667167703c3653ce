#include "proctor/classes/class_window.h"

#include "platform/dialogs/dialogs.h"
#include "platform/widgets/window_building.h"
#include "proctor/classes/help_key.h"
#include "proctor/classes/window_parts.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <utility>

namespace exam {

namespace {

using Field = ClassTableModel::Field;

// The title of this window's own message boxes.
const QString WindowTitle = QStringLiteral("班级管理");

QLineEdit *field(const QString &name, const QString &toolTip, QWidget *parent)
{
    auto *result = new QLineEdit(parent);
    result->setObjectName(name);
    result->setToolTip(toolTip);
    return result;
}

} // namespace

ClassWindow::ClassWindow(QString systemProfilePath, platform::Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_systemProfilePath(std::move(systemProfilePath)), m_dialogs(dialogs)
{
    setObjectName(WindowTitle);
    setWindowTitle(WindowTitle);
    buildControls();
    connectControls();
    m_model.load(readClassTable(ProfileSnapshot::load(m_systemProfilePath)));
}

void ClassWindow::buildControls()
{
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setToolTip(QStringLiteral("Click to choose class"));
    auto *listLabel =
        makeBuddyLabel(QStringLiteral("Label1"), QStringLiteral("选择班级"), m_list, this);

    auto *classFrame = new QGroupBox(QStringLiteral("班级情况"), this);
    classFrame->setObjectName(QStringLiteral("Frame2"));
    m_name = field(QStringLiteral("Text1"), {}, classFrame);
    // Names are not renamed here: a changed name would never be stored.
    m_name->setReadOnly(true);
    m_name->setAccessibleName(QStringLiteral("班级名称"));
    m_size =
        field(QStringLiteral("Text2"), QStringLiteral("Input the conut of students "), classFrame);
    auto *classLayout = new QGridLayout(classFrame);
    classLayout->addWidget(m_name, 0, 0, 1, 2);
    classLayout->addWidget(
        makeBuddyLabel(QStringLiteral("Label3"), QStringLiteral("班级人数"), m_size, classFrame), 1,
        0);
    classLayout->addWidget(m_size, 1, 1);

    auto *numberFrame = new QGroupBox(QStringLiteral("考号设置"), this);
    numberFrame->setObjectName(QStringLiteral("Frame1"));
    m_first = field(QStringLiteral("Text3"),
                    QStringLiteral("The number must be an integer larger than zero "), numberFrame);
    m_last = field(QStringLiteral("Text4"),
                   QStringLiteral("The number must be larger than the count of first number and "
                                  "student count"),
                   numberFrame);
    auto *numberLayout = new QGridLayout(numberFrame);
    numberLayout->addWidget(
        makeBuddyLabel(QStringLiteral("Label8"), QStringLiteral("初起始号"), m_first, numberFrame),
        0, 0);
    numberLayout->addWidget(m_first, 0, 1);
    numberLayout->addWidget(
        makeBuddyLabel(QStringLiteral("Label6"), QStringLiteral("结束考号"), m_last, numberFrame),
        1, 0);
    numberLayout->addWidget(m_last, 1, 1);

    auto *moveRow = platform::makeRow(
        {makeWindowButton(QStringLiteral("cmdUp"), QStringLiteral("上移"), {}, this),
         makeWindowButton(QStringLiteral("cmdDown"), QStringLiteral("下移"), {}, this)});
    auto *listColumn = platform::makeColumn({listLabel, m_list, moveRow});

    auto *editRow = platform::makeRow(
        {makeWindowButton(QStringLiteral("Command4"), QStringLiteral("新建"), {}, this),
         makeWindowButton(QStringLiteral("Command5"), QStringLiteral("删除"), {}, this)});
    auto *fieldColumn =
        platform::makeColumn({classFrame, numberFrame, editRow, platform::Stretch{}});

    auto *top = platform::makeRow({{listColumn, 1}, {fieldColumn, 1}});
    auto *bottom = platform::makeRow(
        {platform::Stretch{},
         makeWindowButton(QStringLiteral("Command1"), QStringLiteral("确定"), {}, this),
         makeWindowButton(QStringLiteral("Command2"), QStringLiteral("取消"), {}, this),
         makeWindowButton(QStringLiteral("Command3"), QStringLiteral("帮助"), {}, this)});
    platform::makeColumn(this, {top, bottom});

    m_list->installEventFilter(this);
    for (QLineEdit *edit : {m_size, m_first, m_last})
        edit->installEventFilter(this);
}

void ClassWindow::connectControls()
{
    connect(&m_model, &ClassTableModel::namesChanged, this, &ClassWindow::refillList);
    connect(&m_model, &ClassTableModel::selectionChanged, this, [this](int row) {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentRow(row);
        if (row < 0)
            m_list->clearSelection();
    });
    connect(&m_model, &ClassTableModel::fieldsChanged, this, &ClassWindow::showFields);

    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { m_model.select(m_list->row(item)); });
    connect(m_list, &QListWidget::currentRowChanged, &m_model, &ClassTableModel::select);

    connect(m_size, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_model.setFieldText(Field::Size, text); });
    connect(m_last, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_model.setFieldText(Field::Last, text); });
    connect(m_first, &QLineEdit::textEdited, this, [this](const QString &text) {
        showRefusal(m_model.firstNumberChanged(text), m_first);
    });
    connect(m_size, &QLineEdit::editingFinished, this,
            [this] { showRefusal(m_model.sizeConfirmed(), m_size); });
    connect(m_first, &QLineEdit::editingFinished, &m_model, &ClassTableModel::firstNumberConfirmed);
    connect(m_last, &QLineEdit::editingFinished, this,
            [this] { showRefusal(m_model.lastNumberConfirmed(), m_last); });

    connect(findChild<QPushButton *>(QStringLiteral("Command4")), &QPushButton::clicked, this,
            &ClassWindow::newClass);
    connect(findChild<QPushButton *>(QStringLiteral("Command5")), &QPushButton::clicked, this,
            &ClassWindow::deleteClass);
    connect(findChild<QPushButton *>(QStringLiteral("cmdUp")), &QPushButton::clicked, &m_model,
            &ClassTableModel::moveUp);
    connect(findChild<QPushButton *>(QStringLiteral("cmdDown")), &QPushButton::clicked, &m_model,
            &ClassTableModel::moveDown);
    connect(findChild<QPushButton *>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            &ClassWindow::confirm);
    connect(findChild<QPushButton *>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            &ClassWindow::reject);
    connect(findChild<QPushButton *>(QStringLiteral("Command3")), &QPushButton::clicked, this,
            [this] { sendHelpKey(this); });
}

bool ClassWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::FocusIn) {
        refillList();
    } else if (event->type() == QEvent::FocusOut &&
               (watched == m_size || watched == m_first || watched == m_last)) {
        // Leaving a field checks it afresh; only a refusal on this way out may hold "确定" back.
        m_refusalPending = false;
        if (watched == m_first)
            m_model.firstNumberLeft();
    }
    return QDialog::eventFilter(watched, event);
}

void ClassWindow::refillList()
{
    // The selection survives the refill: the fields keep showing, and editing, that class.
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->addItems(m_model.names());
    m_list->setCurrentRow(m_model.selected());
    if (m_model.selected() < 0)
        m_list->clearSelection();
}

void ClassWindow::showFields()
{
    const std::pair<QLineEdit *, Field> fields[] = {{m_name, Field::Name},
                                                    {m_size, Field::Size},
                                                    {m_first, Field::First},
                                                    {m_last, Field::Last}};
    for (const auto &[edit, which] : fields) {
        const QString text = m_model.fieldText(which);
        if (edit->text() != text) {
            const QSignalBlocker blocker(edit);
            edit->setText(text);
        }
    }
}

void ClassWindow::showRefusal(const ClassTableModel::Refusal &refusal, QLineEdit *field)
{
    // A message box takes the focus, which finishes the edit again; one refusal is enough.
    if (!refusal.isRefused() || m_showingRefusal)
        return;
    m_showingRefusal = true;
    m_refusalPending = true;
    m_dialogs.message(this, refusal.message, platform::Dialogs::Icon::Warning, WindowTitle);
    if (refusal.refocus) {
        field->setFocus();
        field->selectAll();
    }
    m_showingRefusal = false;
}

void ClassWindow::newClass()
{
    const QString prompt = QStringLiteral("请输入新班级的名称");
    const QString refusal = m_model.addClass(m_dialogs.input(this, prompt, prompt));
    if (!refusal.isEmpty())
        m_dialogs.message(this, refusal, platform::Dialogs::Icon::Warning);
}

void ClassWindow::deleteClass()
{
    if (m_model.count() == 0)
        return;
    if (m_model.count() == 1) {
        m_dialogs.message(this, LastClassMessage, platform::Dialogs::Icon::Warning, WindowTitle);
        return;
    }
    if (!m_dialogs.okCancel(this, QStringLiteral("是否要删除当前班级的所有资料?"),
                            platform::Dialogs::Button::Ok, platform::Dialogs::Icon::Question,
                            WindowTitle))
        return;
    m_model.removeSelected();
}

void ClassWindow::confirm()
{
    // Clicking "确定" straight from a refused field refuses the field and stays: the teacher was
    // just asked to type it again.
    if (std::exchange(m_refusalPending, false))
        return;
    if (storeSystemProfile(
            this, m_dialogs, m_systemProfilePath, QStringLiteral("班级资料没有保存成功"),
            [this] { return writeClassTable(m_systemProfilePath, m_model.classes()); }))
        accept();
}

} // namespace exam
