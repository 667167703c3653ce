#pragma once

// How an operation that can fail in an expected way (a missing folder, a refused name, a failed
// store) says so: a Result is a success, or a failure with a Chinese text for the window to show.
// It cannot be dropped unread: every function that returns one is [[nodiscard]] through the type.

#include <QString>

#include <utility>

namespace exam {

class [[nodiscard]] Result
{
public:
    // A success.
    Result() = default;
    static Result failure(QString message) { return Result(std::move(message)); }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // What went wrong, naming the file or folder; empty on success.
    const QString &message() const { return m_message; }

    // For steps that all run although one of them failed: keeps the first failure.
    void keepFirstFailure(const Result &step)
    {
        if (ok() && !step.ok())
            *this = step;
    }

    // For the interfaces that report through `QString *error`: on failure the message goes into
    // `*error` when the caller gave one. Returns ok().
    bool reportTo(QString *error) const
    {
        if (m_failed && error)
            *error = m_message;
        return ok();
    }

private:
    explicit Result(QString message) : m_failed(true), m_message(std::move(message)) {}

    bool m_failed = false;
    QString m_message;
};

// Puts `text` into `*error` when the caller asked for the text (error is not null).
inline void setErrorText(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace exam
