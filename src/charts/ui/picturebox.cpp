#include "charts/ui/picturebox.h"

#include <QPainter>

namespace corvane {

PictureBox::PictureBox(QWidget *parent) : QFrame(parent) {
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PictureBox::setPicture(const QImage &picture) {
    m_picture = picture;
    update();
}

void PictureBox::setSingleLineBorder() {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
}

QSize PictureBox::sizeHint() const {
    return QSize(480, 300);
}

void PictureBox::paintEvent(QPaintEvent *event) {
    QFrame::paintEvent(event);
    if (m_picture.isNull()) return;
    const QRect room = contentsRect();
    QSize shown = m_picture.size();
    if (shown.width() > room.width() || shown.height() > room.height()) {
        shown.scale(room.size(), Qt::KeepAspectRatio);
    }
    const QRect target(room.topLeft(), shown);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_picture);
}

}  // namespace corvane
