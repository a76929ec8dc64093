#include "controls/image.h"

#include "controls/accessibility.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent) : QWidget(parent)
{
    InstallControlAccessibility();
}

void TImage::SetPicture(const QImage &picture)
{
    m_picture = picture;
    update();
    PictureChanged();
}

void TImage::ClearPicture()
{
    m_picture = QImage();
    update();
    PictureChanged();
}

QImage &TImage::Surface()
{
    if (m_picture.size() != size() || m_picture.isNull()) {
        QImage surface(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
        surface.fill(Qt::white);
        if (!m_picture.isNull()) {
            QPainter painter(&surface);
            painter.drawImage(0, 0, m_picture);
        }
        m_picture = surface;
    }
    return m_picture;
}

void TImage::SetStretch(bool stretch)
{
    if (m_stretch != stretch) {
        m_stretch = stretch;
        update();
    }
}

void TImage::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_stretch && m_picture.size() != size()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), m_picture);
    } else {
        painter.drawImage(0, 0, m_picture);
    }
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click && OnClick)
        OnClick(this);
}
