#pragma once
// A picture box: shows one image, shrunk to fit (never enlarged), inside its frame. The
// image itself is kept whole for saving.

#include <QFrame>
#include <QImage>

namespace corvane {

class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    void clear() { setPicture(QImage()); }
    // A single-line border around the picture.
    void setSingleLineBorder();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

}  // namespace corvane
