#include "proctor/shell/picture_button.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace exam {

PictureButton::PictureButton(const QString &name, QPixmap normal, QPixmap highlighted,
                             QWidget *parent)
    : QAbstractButton(parent), m_normal(std::move(normal)),
      m_highlightedPicture(std::move(highlighted))
{
    setAccessibleName(name);
    setToolTip(name);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    resize(sizeHint());
}

void PictureButton::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

QString PictureButton::tag() const
{
    return m_highlighted ? QStringLiteral("2") : QStringLiteral("1");
}

QSize PictureButton::sizeHint() const
{
    return m_normal.deviceIndependentSize().toSize();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), m_highlighted ? m_highlightedPicture : m_normal);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

} // namespace exam
