#pragma once

// The exam window's two timers (clock every 1000 ms, progress save every 60000 ms) behind a small
// interface, so that tests fire them by hand instead of waiting.

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

namespace exam::candidate {

class ExamTicker : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ExamTicker() override = default;

    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;

signals:
    void timeout();
};

// A QTimer.
class QtExamTicker final : public ExamTicker
{
    Q_OBJECT
public:
    explicit QtExamTicker(QObject *parent = nullptr);

    void start(int intervalMs) override { m_timer.start(intervalMs); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    int interval() const override { return m_timer.interval(); }

private:
    QTimer m_timer;
};

// Makes the ticker with the given objectName ("Timer1", "Timer保存"); the caller parents it.
using ExamTickerFactory = std::function<std::unique_ptr<ExamTicker>(const QString &name)>;
ExamTickerFactory qtTickerFactory();

} // namespace exam::candidate
