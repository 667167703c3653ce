#pragma once

// The controls of the exam window "网络考试", each named as the client's documentation names it
// (Op_XZ_1 … Op_XZ_7, CmdQuestion_1 … CmdQuestion_20, Rich题目, …), laid out by setupUi().

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QWidget;

namespace exam::candidate {

class ClockLabel;

struct ExamWindowUi
{
    QGroupBox *questionFrame = nullptr;              // Fram_题目
    QTextEdit *questionView = nullptr;               // Rich题目
    QGroupBox *explainFrame = nullptr;               // FrmExplain
    QTextEdit *explainView = nullptr;                // Rich解题辅导
    QGroupBox *optionFrame = nullptr;                // Frame2
    std::array<QCheckBox *, 7> options{};            // Op_XZ_1 … Op_XZ_7
    QPushButton *previous = nullptr;                 // Command1
    QPushButton *next = nullptr;                     // Command2
    QCheckBox *autoAdvance = nullptr;                // Check1
    QGroupBox *selectFrame = nullptr;                // FrmSelQuestion
    std::array<QPushButton *, 20> questionButtons{}; // CmdQuestion_1 … CmdQuestion_20
    QScrollBar *pageBar = nullptr;                   // VSlquestion
    QLabel *clockCaption = nullptr;                  // Label1
    ClockLabel *clock = nullptr;                     // Lab_TIMER
    QPushButton *showAnswer = nullptr;               // Command3
    QPushButton *help = nullptr;                     // Command5
    QPushButton *handIn = nullptr;                   // Command6
    QLabel *saveWarning = nullptr;                   // Lab保存提示: a failed progress save

    void setupUi(QWidget *window);
};

} // namespace exam::candidate
