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

private:
    explicit Result(QString message) : m_failed(true), m_message(std::move(message)) {}

    bool m_failed = false;
    QString m_message;
};

} // namespace exam
