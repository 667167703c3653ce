#pragma once

#include "proctor/classes/class_table_model.h"

#include <QDialog>
#include <QString>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QLineEdit;
class QListWidget;

namespace exam {

// 班级管理: the classes with their sizes and examination-number ranges. Edits stay in the
// window's ClassTableModel; "确定" writes the whole table at once, "取消" writes nothing.
class ClassWindow : public QDialog
{
    Q_OBJECT

public:
    // Reads the class table from `systemProfilePath` (sys/sys.cho, which may be missing).
    ClassWindow(QString systemProfilePath, platform::Dialogs &dialogs, QWidget *parent = nullptr);

    const ClassTableModel &model() const { return m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectControls();
    void refillList();
    void showFields();
    void showRefusal(const ClassTableModel::Refusal &refusal, QLineEdit *field);
    void newClass();
    void deleteClass();
    void confirm();

    QString m_systemProfilePath;
    platform::Dialogs &m_dialogs;
    ClassTableModel m_model;
    QListWidget *m_list = nullptr; // List1
    QLineEdit *m_name = nullptr;   // Text1
    QLineEdit *m_size = nullptr;   // Text2
    QLineEdit *m_first = nullptr;  // Text3
    QLineEdit *m_last = nullptr;   // Text4
    bool m_showingRefusal = false;
    bool m_refusalPending = false; // a field was refused and has not been left since
};

} // namespace exam
