#include "proctor/shell/console_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace exam {

namespace {

QFont pictureFont(int pixelSize, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("SimHei")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QPixmap blankPixmap(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QStringList splashPictureLines()
{
    return {QStringLiteral("课堂计算机考试系统"), QStringLiteral("教师端 · 考务管理")};
}

QPixmap drawSplashPicture(QSize size)
{
    QPixmap pixmap = blankPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));

    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0.0, QColor(0x1d, 0x4e, 0x89));
    sky.setColorAt(1.0, QColor(0x0b, 0x24, 0x47));
    painter.fillRect(area, sky);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 28));
    painter.drawEllipse(QPointF(area.width() * 0.85, area.height() * 0.2), area.height() * 0.55,
                        area.height() * 0.55);

    painter.setPen(Qt::white);
    painter.setFont(pictureFont(size.height() / 7, true));
    painter.drawText(area.adjusted(0, 0, 0, -area.height() * 0.25), Qt::AlignCenter,
                     splashPictureLines().at(0));
    painter.setFont(pictureFont(size.height() / 12, false));
    painter.setPen(QColor(0xd6, 0xe4, 0xf5));
    painter.drawText(area.adjusted(0, area.height() * 0.25, 0, 0), Qt::AlignCenter,
                     splashPictureLines().at(1));
    return pixmap;
}

QPixmap drawMenuBackground(QSize size)
{
    QPixmap pixmap = blankPixmap(size);
    QPainter painter(&pixmap);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    QLinearGradient shade(area.topLeft(), area.bottomLeft());
    shade.setColorAt(0.0, QColor(0xea, 0xf1, 0xfa));
    shade.setColorAt(1.0, QColor(0xc5, 0xd6, 0xec));
    painter.fillRect(area, shade);
    return pixmap;
}

QPixmap drawMenuBanner(QSize size)
{
    QPixmap pixmap = blankPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));
    QLinearGradient band(area.topLeft(), area.topRight());
    band.setColorAt(0.0, QColor(0x1d, 0x4e, 0x89));
    band.setColorAt(1.0, QColor(0x3a, 0x7b, 0xc8));
    QPainterPath shape;
    shape.addRoundedRect(area, 10, 10);
    painter.fillPath(shape, band);
    painter.setPen(Qt::white);
    painter.setFont(pictureFont(size.height() * 2 / 5, true));
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("考务管理"));
    return pixmap;
}

QPixmap drawMenuButtonPicture(const QString &name, bool highlighted, QSize size)
{
    QPixmap pixmap = blankPixmap(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);

    QLinearGradient face(area.topLeft(), area.bottomLeft());
    if (highlighted) {
        face.setColorAt(0.0, QColor(0xff, 0xd8, 0x6b));
        face.setColorAt(1.0, QColor(0xf0, 0x9a, 0x1a));
    } else {
        face.setColorAt(0.0, QColor(0xfd, 0xfe, 0xff));
        face.setColorAt(1.0, QColor(0xd8, 0xe4, 0xf3));
    }
    QPainterPath shape;
    shape.addRoundedRect(area, 12, 12);
    painter.fillPath(shape, face);
    painter.setPen(QPen(highlighted ? QColor(0xb3, 0x5c, 0x00) : QColor(0x6d, 0x8c, 0xb5),
                        highlighted ? 3 : 1.5));
    painter.drawPath(shape);

    painter.setPen(highlighted ? QColor(0x4a, 0x25, 0x00) : QColor(0x1d, 0x3a, 0x63));
    painter.setFont(pictureFont(size.height() * 2 / 5, true));
    painter.drawText(area, Qt::AlignCenter, name);
    return pixmap;
}

} // namespace exam
