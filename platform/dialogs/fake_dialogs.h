#pragma once

#include "dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

namespace exam::platform {

// A scripted stand-in for tests: records every dialog shown and answers from queues filled by the
// test. Unscripted questions take their default button; unscripted input, file, folder and colour
// dialogs count as cancelled. Never blocks.
class FakeDialogs final : public Dialogs
{
public:
    enum class Kind { Message, OkCancel, YesNo, Input, OpenFile, ChooseFolder, ChooseColor };
    struct Call
    {
        Kind kind;
        QString text; // the message or prompt
        QString title;
        Icon icon = Icon::None;
        Button defaultButton = Button::Ok;
    };

    // Answers for okCancel (true = OK) and yesNo (true = Yes), in the order they are asked.
    void answerQuestion(bool accept) { m_questions.enqueue(accept); }
    void answerInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }
    void answerFile(const QString &path) { m_files.enqueue(path); }
    void answerFolder(const QString &path) { m_folders.enqueue(path); }
    void answerColor(std::optional<QColor> color) { m_colors.enqueue(color); }

    // Called with each dialog as it is shown, e.g. to change the world between two steps.
    std::function<void(const Call &)> onCall;

    const QList<Call> &calls() const { return m_calls; }
    // The texts of every dialog shown, in order.
    QStringList texts() const;
    // The texts of the one-button message boxes shown, in order.
    QStringList messages() const;
    void clear();

    void message(QWidget *parent, const QString &text, Icon icon = Icon::None,
                 const QString &title = {}) override;
    bool okCancel(QWidget *parent, const QString &text, Button defaultButton = Button::Ok,
                  Icon icon = Icon::None, const QString &title = {}) override;
    bool yesNo(QWidget *parent, const QString &text, Button defaultButton = Button::Yes,
               Icon icon = Icon::Question) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultText = {}) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &filter) override;
    QString chooseFolder(QWidget *parent, const QString &title, const QString &folder) override;
    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override;

private:
    void record(const Call &call);

    QList<Call> m_calls;
    QQueue<bool> m_questions;
    QQueue<std::optional<QString>> m_inputs;
    QQueue<QString> m_files;
    QQueue<QString> m_folders;
    QQueue<std::optional<QColor>> m_colors;
};

} // namespace exam::platform
