#pragma once

// The frame "设置试卷信息" of the paper-management window: one control per settings column of the
// selected paper. It only holds and lays out the controls; PaperManagementWindow wires them.

#include "proctor/authoring/paper_table.h"

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace exam {

class PaperSettingsPanel : public QGroupBox
{
    Q_OBJECT

public:
    explicit PaperSettingsPanel(QWidget *parent = nullptr);

    // Shows `row` without running any handler; null shows an empty, disabled panel.
    void showRow(const PaperRow *row);
    // The numeric text fields and the column each one edits.
    QList<QPair<QLineEdit *, PaperColumn>> numberFields() const;

    QCheckBox *open;            // Check6
    QLineEdit *testTime;        // TXT3
    QLineEdit *fullMark;        // Txt4, display
    QCheckBox *exerciseMode;    // Check2
    QCheckBox *retest;          // Check1
    QLineEdit *retestPassword;  // Txt重考密码
    QCheckBox *relogin;         // Check3
    QLineEdit *reloginPassword; // Txt二次登录密码
    QCheckBox *displayScore;    // Check4
    QCheckBox *questionSort;    // Check5
    QLineEdit *aGrade;          // Txt10
    QLineEdit *bGrade;          // Txt11
    QLineEdit *cGrade;          // Txt12
    QLineEdit *dGrade;          // Txt13
    QLineEdit *questionCount;   // Txt14, display
    QLineEdit *author;          // Txt15
    QLineEdit *defaultMark;     // TXT16, display
    QLineEdit *about;           // TXT17
    QCheckBox *randomDraw;      // Check考生随机抽题
    QLabel *drawCountLabel;     // Label抽考题数
    QLineEdit *drawCount;       // Text随机抽考题数
    QCheckBox *review;          // Check是否允许考生考后查卷

    // Shows the number-drawn field exactly when the random draw is on.
    void setDrawCountVisible(bool visible);
};

} // namespace exam
