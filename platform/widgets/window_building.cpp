#include "platform/widgets/window_building.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace exam::platform {

namespace {

template <typename Box> Box *fill(Box *box, std::initializer_list<BoxItem> items)
{
    for (const BoxItem &item : items)
        item.addTo(box);
    return box;
}

} // namespace

QPushButton *makeButton(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    return button;
}

QLabel *makePicture(const QString &objectName, const QPixmap &picture, const QRect &place,
                    QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setPixmap(picture);
    label->setGeometry(place);
    return label;
}

void BoxItem::addTo(QBoxLayout *box) const
{
    if (m_widget)
        box->addWidget(m_widget, m_factor);
    else if (m_layout)
        box->addLayout(m_layout, m_factor);
    else
        box->addStretch(m_factor);
}

QHBoxLayout *makeRow(std::initializer_list<BoxItem> items)
{
    return fill(new QHBoxLayout, items);
}

QHBoxLayout *makeRow(QWidget *owner, std::initializer_list<BoxItem> items)
{
    return fill(new QHBoxLayout(owner), items);
}

QVBoxLayout *makeColumn(std::initializer_list<BoxItem> items)
{
    return fill(new QVBoxLayout, items);
}

QVBoxLayout *makeColumn(QWidget *owner, std::initializer_list<BoxItem> items)
{
    return fill(new QVBoxLayout(owner), items);
}

} // namespace exam::platform
