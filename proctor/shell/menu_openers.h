#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace exam {

// How the main menu opens the administration windows. Each opener shows its window modally over
// `parent` and returns when it is closed. An empty opener means the window is not part of this
// build yet; its menu button then says so.
struct MenuOpeners
{
    using Opener = std::function<void(QWidget *parent)>;

    Opener papers;    // Imgcmd_1: 试卷管理
    Opener examRooms; // Imgcmd_2: 考场管理
    Opener classes;   // Imgcmd_3: 班级管理
    Opener results;   // Imgcmd_4: 考务成绩
    Opener password;  // Imgcmd_5: 设置密码
};

} // namespace exam
