#include "candidate/clock_label.h"

#include "candidate/exam_clock.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace exam::candidate {

namespace {

// The label's name is always the text on screen, whatever the widget's accessibleName says.
class ClockAccessible : public QAccessibleWidget
{
public:
    explicit ClockAccessible(QWidget *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *clockAccessibleFactory(const QString &, QObject *object)
{
    if (auto *label = qobject_cast<ClockLabel *>(object))
        return new ClockAccessible(label);
    return nullptr;
}

} // namespace

ClockLabel::ClockLabel(QWidget *parent) : QLabel(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(clockAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAccessibleDescription(QStringLiteral("剩余时间"));
    // A label without an accessible name of its own reports every new text as a change of name:
    // once a second here. With a name set, QLabel stays quiet and showTime() reports each minute;
    // what assistive technology reads as the name is the visible text (ClockAccessible).
    setAccessibleName(QStringLiteral("剩余时间"));
}

void ClockLabel::showTime(const QString &text)
{
    const bool newMinute = announcedClockText(text) != announcedClockText(this->text());
    setText(text);
    if (!newMinute)
        return;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
    emit announced(text);
}

} // namespace exam::candidate
