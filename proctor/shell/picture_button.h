#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace exam {

// A button that is only a picture: a normal one and a highlighted one. Its accessible name is the
// text written in the picture, so that screen readers (and tests) find it by what a person reads.
class PictureButton : public QAbstractButton
{
    Q_OBJECT

public:
    PictureButton(const QString &name, QPixmap normal, QPixmap highlighted,
                  QWidget *parent = nullptr);

    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return m_highlighted; }
    // "1" normal, "2" highlighted.
    QString tag() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_normal;
    QPixmap m_highlightedPicture;
    bool m_highlighted = false;
};

} // namespace exam
