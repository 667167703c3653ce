#include "proctor/authoring/paper_settings_panel.h"

#include "proctor/authoring/paper_management.h"
#include "repository/profile_values.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace exam {

namespace {

QLineEdit *makeField(QWidget *parent, const QString &name, bool displayOnly = false)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    // Shown-only values (total, question count, default mark) belong to the paper editor.
    field->setReadOnly(displayOnly);
    return field;
}

QCheckBox *makeCheck(QWidget *parent, const QString &name, const QString &caption,
                     const QString &toolTip = QString())
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(toolTip);
    return box;
}

QLabel *makeLabel(QWidget *parent, const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

PaperSettingsPanel::PaperSettingsPanel(QWidget *parent)
    : QGroupBox(QStringLiteral("设置试卷信息"), parent)
{
    setObjectName(QStringLiteral("Frame2"));

    open = makeCheck(this, QStringLiteral("Check6"), QStringLiteral("是否允许考试"));
    testTime = makeField(this, QStringLiteral("TXT3"));
    fullMark = makeField(this, QStringLiteral("Txt4"), true);
    exerciseMode = makeCheck(this, QStringLiteral("Check2"),
                             QStringLiteral("是否设为练习模式          (考试时可看答案)"),
                             QStringLiteral("练习模式允许学生边答题边查看答案和解题辅导"));
    retest = makeCheck(this, QStringLiteral("Check1"), QStringLiteral("重考密码"),
                       QStringLiteral("取消设置则不允许重考"));
    retestPassword = makeField(this, QStringLiteral("Txt重考密码"));
    retestPassword->setAccessibleName(QStringLiteral("重考密码"));
    relogin = makeCheck(this, QStringLiteral("Check3"), QStringLiteral("二次登录密码"),
                        QStringLiteral("取消设置则不允许二次登陆"));
    reloginPassword = makeField(this, QStringLiteral("Txt二次登录密码"));
    reloginPassword->setAccessibleName(QStringLiteral("二次登录密码"));
    displayScore =
        makeCheck(this, QStringLiteral("Check4"), QStringLiteral("学生考完时是否显示成绩"));
    questionSort =
        makeCheck(this, QStringLiteral("Check5"), QStringLiteral("是否使用随机的考题顺序"),
                  QStringLiteral("使用随机顺序可避免邻座的考生抄袭"));
    aGrade = makeField(this, QStringLiteral("Txt10"));
    bGrade = makeField(this, QStringLiteral("Txt11"));
    cGrade = makeField(this, QStringLiteral("Txt12"));
    dGrade = makeField(this, QStringLiteral("Txt13"));
    questionCount = makeField(this, QStringLiteral("Txt14"), true);
    author = makeField(this, QStringLiteral("Txt15"));
    defaultMark = makeField(this, QStringLiteral("TXT16"), true);
    about = makeField(this, QStringLiteral("TXT17"));
    randomDraw =
        makeCheck(this, QStringLiteral("Check考生随机抽题"), QStringLiteral("是否使用随机抽题功能"),
                  QStringLiteral("随机抽题可使每个学生的考题都不一样。该功能可能影响试卷总分。"));
    drawCount = makeField(this, QStringLiteral("Text随机抽考题数"));
    drawCountLabel = makeLabel(this, QStringLiteral("随机抽考题数"), drawCount);
    drawCountLabel->setObjectName(QStringLiteral("Label抽考题数"));
    review = makeCheck(this, QStringLiteral("Check是否允许考生考后查卷"),
                       QStringLiteral("是否允许考生考后查卷"),
                       QStringLiteral("考后查卷可帮助考生发现错误补缺补漏"));

    auto *grid = new QGridLayout(this);
    int line = 0;
    const auto pair = [&](int column, QWidget *label, QWidget *field) {
        grid->addWidget(label, line, column);
        grid->addWidget(field, line, column + 1);
    };
    grid->addWidget(open, line, 0, 1, 2);
    grid->addWidget(review, line++, 2, 1, 2);
    pair(0, makeLabel(this, QStringLiteral("考试时间"), testTime), testTime);
    pair(2, makeLabel(this, QStringLiteral("作者"), author), author);
    ++line;
    pair(0, makeLabel(this, QStringLiteral("考题总数"), questionCount), questionCount);
    pair(2, makeLabel(this, QStringLiteral("默认分值"), defaultMark), defaultMark);
    ++line;
    pair(0, makeLabel(this, QStringLiteral("总分"), fullMark), fullMark);
    ++line;
    pair(0, makeLabel(this, QStringLiteral("优秀标准"), aGrade), aGrade);
    pair(2, makeLabel(this, QStringLiteral("良好标准"), bGrade), bGrade);
    ++line;
    pair(0, makeLabel(this, QStringLiteral("中等标准"), cGrade), cGrade);
    pair(2, makeLabel(this, QStringLiteral("及格标准"), dGrade), dGrade);
    ++line;
    grid->addWidget(exerciseMode, line++, 0, 1, 4);
    pair(0, retest, retestPassword);
    pair(2, relogin, reloginPassword);
    ++line;
    grid->addWidget(displayScore, line, 0, 1, 2);
    grid->addWidget(questionSort, line++, 2, 1, 2);
    grid->addWidget(randomDraw, line, 0, 1, 2);
    pair(2, drawCountLabel, drawCount);
    ++line;
    grid->addWidget(makeLabel(this, QStringLiteral("考试说明："), about), line, 0);
    grid->addWidget(about, line++, 1, 1, 3);
    grid->setRowStretch(line, 1);

    showRow(nullptr);
}

QList<QPair<QLineEdit *, PaperColumn>> PaperSettingsPanel::numberFields() const
{
    return {{testTime, PaperColumn::TestTime},
            {aGrade, PaperColumn::AGrade},
            {bGrade, PaperColumn::BGrade},
            {cGrade, PaperColumn::CGrade},
            {dGrade, PaperColumn::DGrade}};
}

void PaperSettingsPanel::setDrawCountVisible(bool visible)
{
    drawCount->setVisible(visible);
    drawCountLabel->setVisible(visible);
}

void PaperSettingsPanel::showRow(const PaperRow *row)
{
    setEnabled(row != nullptr);
    const PaperRow empty;
    const PaperRow &r = row ? *row : empty;
    const auto text = [&r](PaperColumn column) { return trimBlanks(r.at(column)); };

    testTime->setText(text(PaperColumn::TestTime));
    fullMark->setText(text(PaperColumn::FullMark));
    questionCount->setText(text(PaperColumn::QuestionCount));
    author->setText(text(PaperColumn::Author));
    defaultMark->setText(text(PaperColumn::DefaultMark));
    aGrade->setText(text(PaperColumn::AGrade));
    bGrade->setText(text(PaperColumn::BGrade));
    cGrade->setText(text(PaperColumn::CGrade));
    dGrade->setText(text(PaperColumn::DGrade));
    about->setText(text(PaperColumn::About));

    // Clearing a password box empties its password, in the row and in the field.
    const auto showPassword = [&r](QCheckBox *box, QLineEdit *field, PaperColumn column) {
        const bool on = !r.at(column).isEmpty();
        box->setChecked(on);
        field->setEnabled(on);
        if (on)
            field->setText(r.at(column));
        else
            field->clear();
    };
    showPassword(retest, retestPassword, PaperColumn::RetestPassword);
    showPassword(relogin, reloginPassword, PaperColumn::ReloginPassword);

    exerciseMode->setChecked(profileFlag(r.at(PaperColumn::ExerciseMode)));
    displayScore->setChecked(profileFlag(r.at(PaperColumn::DisplayScore)));
    questionSort->setChecked(profileFlag(r.at(PaperColumn::QuestionSort)));
    open->setChecked(profileFlag(r.at(PaperColumn::Open)));
    const bool drawing = profileNumber(r.at(PaperColumn::RandomDraw)) != 0;
    randomDraw->setChecked(drawing);
    setDrawCountVisible(drawing);
    // Also while hidden: ticking the box must show this paper's number, not the last paper's.
    drawCount->setText(numberFieldText(r.at(PaperColumn::DrawCount)));
    review->setChecked(profileFlag(r.at(PaperColumn::Review)));
}

} // namespace exam
