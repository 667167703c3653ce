#pragma once

// The paper-management window "试卷管理": the paper list, the settings of the selected paper and
// the buttons that create, delete, order, save, edit, export and import papers. State and rules
// live in PaperManagement; this form shows them and forwards the teacher's actions.

#include <QDialog>

namespace exam::platform {
class Dialogs;
} // namespace exam::platform
class QListWidget;
class QPushButton;

namespace exam {

class PaperManagement;
class PaperSettingsPanel;

class PaperManagementWindow : public QDialog
{
    Q_OBJECT

public:
    // Loads every paper of the repository at `repositoryRoot` and selects the first.
    PaperManagementWindow(const QString &repositoryRoot, platform::Dialogs &dialogs,
                          QWidget *parent = nullptr);

    PaperManagement &management() { return *m_management; }

private:
    QPushButton *addButton(const QString &name, const QString &caption);
    void buildLayout();
    void connectPanel();
    void connectButtons();
    void refillList();
    void showSelectedPaper();
    void showHelp();

    PaperManagement *m_management;
    QListWidget *m_list;
    PaperSettingsPanel *m_panel;
};

} // namespace exam
