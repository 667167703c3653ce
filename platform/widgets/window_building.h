#pragma once

// The pieces both programs build their windows from: named buttons and pictures, and rows and
// columns of controls laid out in the order they are listed.

#include <QBoxLayout>
#include <QString>

#include <initializer_list>

class QLabel;
class QPixmap;
class QPushButton;
class QRect;
class QWidget;

namespace exam::platform {

// A push button that tests and assistive tools find by `objectName`, showing `text`.
QPushButton *makeButton(const QString &objectName, const QString &text, QWidget *parent);

// A label showing `picture` at `place` in its parent, for windows laid out by hand.
QLabel *makePicture(const QString &objectName, const QPixmap &picture, const QRect &place,
                    QWidget *parent);

// The room a row or column leaves over, given to a stretch that stands in it: `Stretch{}` before
// buttons puts them at the right end; a factor shares the room with the items that have one.
struct Stretch
{
    int factor = 0;
};

// One place in a row or column: a control, a nested layout, or a stretch; a control or layout may
// carry its stretch factor, `{top, 1}` as in addLayout(top, 1).
class BoxItem
{
public:
    BoxItem(QWidget *widget, int factor = 0) : m_widget(widget), m_factor(factor) {}
    BoxItem(QLayout *layout, int factor = 0) : m_layout(layout), m_factor(factor) {}
    BoxItem(Stretch room) : m_factor(room.factor) {}

    void addTo(QBoxLayout *box) const;

private:
    QWidget *m_widget = nullptr;
    QLayout *m_layout = nullptr;
    int m_factor = 0;
};

// A row of `items` from left to right: a row of buttons, with `Stretch{}` first when they stand at
// the right. With `owner`, the row is the owner's own layout.
QHBoxLayout *makeRow(std::initializer_list<BoxItem> items);
QHBoxLayout *makeRow(QWidget *owner, std::initializer_list<BoxItem> items);

// A column of `items` from top to bottom. With `owner`, the column is the owner's own layout.
QVBoxLayout *makeColumn(std::initializer_list<BoxItem> items);
QVBoxLayout *makeColumn(QWidget *owner, std::initializer_list<BoxItem> items);

} // namespace exam::platform
