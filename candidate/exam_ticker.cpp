#include "candidate/exam_ticker.h"

namespace exam::candidate {

QtExamTicker::QtExamTicker(QObject *parent) : ExamTicker(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &ExamTicker::timeout);
}

ExamTickerFactory qtTickerFactory()
{
    return [](const QString &name) -> std::unique_ptr<ExamTicker> {
        auto ticker = std::make_unique<QtExamTicker>();
        ticker->setObjectName(name);
        return ticker;
    };
}

} // namespace exam::candidate
