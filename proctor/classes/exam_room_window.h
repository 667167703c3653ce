#pragma once

#include "proctor/classes/exam_room_model.h"

#include <QDialog>
#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QListWidget;

namespace exam {

// 考场管理: which papers are open and which classes may sit each paper. Names and flags stand
// in paired lists that keep the same row selected and the same top row. "确定" writes every flag
// of every paper; "取消" writes nothing.
class ExamRoomWindow : public QDialog
{
    Q_OBJECT

public:
    ExamRoomWindow(QString systemProfilePath, platform::Dialogs &dialogs,
                   QWidget *parent = nullptr);

    const ExamRoomModel &model() const { return m_model; }

private:
    void buildControls();
    void connectControls();
    void showOpenFlags();
    void showAdmissions();
    void confirm();

    QString m_systemProfilePath;
    platform::Dialogs &m_dialogs;
    ExamRoomModel m_model;
    QListWidget *m_paperNames = nullptr; // List11
    QListWidget *m_openFlags = nullptr;  // List1
    QListWidget *m_classNames = nullptr; // List22
    QListWidget *m_admissions = nullptr; // List2
};

// The selected row of a single-selection list, or -1.
int selectedRow(const QListWidget *list);

// Keeps two lists side by side in step: the same current row and the same top row.
void pairLists(QListWidget *first, QListWidget *second);

} // namespace exam
