#pragma once

// The console's pictures, drawn by the program itself: the splash picture, the main menu's
// background and banner, and each menu button in its normal and highlighted form with the
// function's name written in it.

#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace exam {

QPixmap drawSplashPicture(QSize size);
// The words the splash picture shows, one line each.
QStringList splashPictureLines();
QPixmap drawMenuBackground(QSize size);
QPixmap drawMenuBanner(QSize size);
QPixmap drawMenuButtonPicture(const QString &name, bool highlighted, QSize size);

} // namespace exam
