#include "candidate/exam_window_ui.h"

#include "candidate/clock_label.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

namespace exam::candidate {

namespace {

template <typename W> W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QTextEdit *readOnlyView(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *view = named(new QTextEdit(parent), name);
    view->setReadOnly(true);
    view->setAccessibleName(accessibleName);
    return view;
}

} // namespace

void ExamWindowUi::setupUi(QWidget *window)
{
    window->setObjectName(QStringLiteral("网络考试"));

    questionFrame = named(new QGroupBox(window), QStringLiteral("Fram_题目"));
    questionView = readOnlyView(questionFrame, QStringLiteral("Rich题目"), QStringLiteral("试题"));
    (new QVBoxLayout(questionFrame))->addWidget(questionView);

    explainFrame =
        named(new QGroupBox(QStringLiteral("解题辅导"), window), QStringLiteral("FrmExplain"));
    explainView =
        readOnlyView(explainFrame, QStringLiteral("Rich解题辅导"), QStringLiteral("解题辅导"));
    (new QVBoxLayout(explainFrame))->addWidget(explainView);
    explainFrame->hide();

    saveWarning = named(new QLabel(window), QStringLiteral("Lab保存提示"));
    saveWarning->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    saveWarning->setWordWrap(true);
    saveWarning->hide();

    optionFrame = named(new QGroupBox(QStringLiteral("请选择"), window), QStringLiteral("Frame2"));
    auto *optionRow = new QHBoxLayout(optionFrame);
    const QStringList captions{QStringLiteral("1.A -是"), QStringLiteral("2.B -非"),
                               QStringLiteral("3.C"),     QStringLiteral("4.D"),
                               QStringLiteral("5.E"),     QStringLiteral("6.F"),
                               QStringLiteral("7.G")};
    for (int j = 0; j < 7; ++j) {
        options[j] = named(new QCheckBox(captions.at(j), optionFrame),
                           QStringLiteral("Op_XZ_%1").arg(j + 1));
        options[j]->setAutoFillBackground(true);
        optionRow->addWidget(options[j]);
    }
    optionRow->addStretch();

    previous = named(new QPushButton(QStringLiteral("上一题"), window), QStringLiteral("Command1"));
    next = named(new QPushButton(QStringLiteral("下一题"), window), QStringLiteral("Command2"));
    autoAdvance =
        named(new QCheckBox(QStringLiteral("自动下翻"), window), QStringLiteral("Check1"));
    auto *navigationRow = new QHBoxLayout;
    navigationRow->addWidget(previous);
    navigationRow->addWidget(next);
    navigationRow->addSpacing(16);
    navigationRow->addWidget(autoAdvance);
    navigationRow->addStretch();

    auto *left = new QVBoxLayout;
    left->addWidget(questionFrame, 3);
    left->addWidget(explainFrame, 2);
    left->addWidget(saveWarning);
    left->addWidget(optionFrame);
    left->addLayout(navigationRow);

    clockCaption = named(new QLabel(QStringLiteral("剩余时间:"), window), QStringLiteral("Label1"));
    clock = named(new ClockLabel(window), QStringLiteral("Lab_TIMER"));
    QFont clockFont = clock->font();
    clockFont.setPointSize(clockFont.pointSize() + 6);
    clockFont.setBold(true);
    clock->setFont(clockFont);
    auto *clockRow = new QHBoxLayout;
    clockRow->addWidget(clockCaption);
    clockRow->addWidget(clock);
    clockRow->addStretch();

    selectFrame =
        named(new QGroupBox(QStringLiteral("选择考题"), window), QStringLiteral("FrmSelQuestion"));
    auto *grid = new QGridLayout(selectFrame);
    for (int i = 0; i < 20; ++i) {
        auto *button = named(new QPushButton(QString::number(i + 1), selectFrame),
                             QStringLiteral("CmdQuestion_%1").arg(i + 1));
        button->setFixedWidth(44);
        grid->addWidget(button, i / 4, i % 4);
        questionButtons[i] = button;
    }
    pageBar = named(new QScrollBar(Qt::Vertical, selectFrame), QStringLiteral("VSlquestion"));
    pageBar->setAccessibleName(QStringLiteral("试题按钮翻页"));
    pageBar->setSingleStep(10);
    pageBar->setPageStep(10);
    grid->addWidget(pageBar, 0, 4, 5, 1);

    showAnswer =
        named(new QPushButton(QStringLiteral("显示答案"), window), QStringLiteral("Command3"));
    showAnswer->hide();
    help = named(new QPushButton(QStringLiteral("帮助"), window), QStringLiteral("Command5"));
    handIn = named(new QPushButton(QStringLiteral("交卷"), window), QStringLiteral("Command6"));

    auto *right = new QVBoxLayout;
    right->addLayout(clockRow);
    right->addWidget(selectFrame);
    right->addWidget(showAnswer);
    right->addWidget(help);
    right->addWidget(handIn);
    right->addStretch();

    auto *root = new QHBoxLayout(window);
    root->addLayout(left, 1);
    root->addLayout(right);
    window->resize(900, 620);
}

} // namespace exam::candidate
