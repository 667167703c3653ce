#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QTimer;

namespace exam {

// "5.2.1" gives "5.2": the major and minor version as plain decimal integers.
QString versionLabelText(const QString &applicationVersion);

// frmSplash, the console's first window. It stays until its timer fires, a key is pressed or the
// picture is clicked, whichever comes first, and then says finished() once.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DefaultIntervalMs = 3000;

    explicit SplashWindow(const QString &applicationVersion, int intervalMs = DefaultIntervalMs,
                          QWidget *parent = nullptr);

signals:
    void finished();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish();

    QLabel *m_picture = nullptr;
    QLabel *m_version = nullptr;
    QTimer *m_timer = nullptr;
    bool m_finished = false;
};

} // namespace exam
