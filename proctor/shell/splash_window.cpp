#include "proctor/shell/splash_window.h"

#include "platform/widgets/window_building.h"
#include "proctor/shell/console_pictures.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVersionNumber>

namespace exam {

namespace {
const QSize PictureSize(520, 300);
}

QString versionLabelText(const QString &applicationVersion)
{
    const QVersionNumber version = QVersionNumber::fromString(applicationVersion);
    return QString::number(version.majorVersion()) + u'.' + QString::number(version.minorVersion());
}

SplashWindow::SplashWindow(const QString &applicationVersion, int intervalMs, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(PictureSize);

    m_picture = platform::makePicture(QStringLiteral("Image1"), drawSplashPicture(PictureSize),
                                      QRect(QPoint(0, 0), PictureSize), this);
    m_picture->installEventFilter(this);
    // The picture's words, for those who cannot see it; the window itself has the focus.
    m_picture->setAccessibleName(splashPictureLines().join(u' '));
    setAccessibleName(splashPictureLines().join(u' '));

    m_version = new QLabel(versionLabelText(applicationVersion), this);
    m_version->setObjectName(QStringLiteral("Lab版本"));
    m_version->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    m_version->setAccessibleDescription(QStringLiteral("版本"));
    m_version->setGeometry(PictureSize.width() - 90, PictureSize.height() - 34, 80, 24);
    m_version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(intervalMs);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::finish);
}

void SplashWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_finished && !m_timer->isActive())
        m_timer->start();
    activateWindow();
    setFocus();
}

void SplashWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    finish();
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease) {
        finish();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::finish()
{
    // The timer, a key and a click may all arrive; only the first one leads on.
    if (m_finished)
        return;
    m_finished = true;
    m_timer->stop();
    emit finished();
}

} // namespace exam
