#include "fake_dialogs.h"

namespace exam::platform {

namespace {

template <typename T, typename Fallback> T takeOr(QQueue<T> &queue, Fallback fallback)
{
    return queue.isEmpty() ? T(fallback) : queue.dequeue();
}

} // namespace

QStringList FakeDialogs::texts() const
{
    QStringList result;
    for (const Call &call : m_calls)
        result << call.text;
    return result;
}

QStringList FakeDialogs::messages() const
{
    QStringList result;
    for (const Call &call : m_calls) {
        if (call.kind == Kind::Message)
            result << call.text;
    }
    return result;
}

void FakeDialogs::clear()
{
    m_calls.clear();
    m_questions.clear();
    m_inputs.clear();
    m_files.clear();
    m_folders.clear();
    m_colors.clear();
}

void FakeDialogs::record(const Call &call)
{
    m_calls << call;
    if (onCall)
        onCall(call);
}

void FakeDialogs::message(QWidget *, const QString &text, Icon icon, const QString &title)
{
    record({Kind::Message, text, title, icon, Button::Ok});
}

bool FakeDialogs::okCancel(QWidget *, const QString &text, Button defaultButton, Icon icon,
                           const QString &title)
{
    record({Kind::OkCancel, text, title, icon, defaultButton});
    return takeOr(m_questions, defaultButton == Button::Ok);
}

bool FakeDialogs::yesNo(QWidget *, const QString &text, Button defaultButton, Icon icon)
{
    record({Kind::YesNo, text, {}, icon, defaultButton});
    return takeOr(m_questions, defaultButton == Button::Yes);
}

std::optional<QString> FakeDialogs::input(QWidget *, const QString &prompt, const QString &title,
                                          const QString &)
{
    record({Kind::Input, prompt, title, Icon::None, Button::Ok});
    return takeOr(m_inputs, std::nullopt);
}

QString FakeDialogs::openFile(QWidget *, const QString &title, const QString &, const QString &)
{
    record({Kind::OpenFile, {}, title, Icon::None, Button::Ok});
    return takeOr(m_files, QString());
}

QString FakeDialogs::chooseFolder(QWidget *, const QString &title, const QString &)
{
    record({Kind::ChooseFolder, {}, title, Icon::None, Button::Ok});
    return takeOr(m_folders, QString());
}

std::optional<QColor> FakeDialogs::chooseColor(QWidget *, const QColor &)
{
    record({Kind::ChooseColor, {}, {}, Icon::None, Button::Ok});
    return takeOr(m_colors, std::nullopt);
}

} // namespace exam::platform
