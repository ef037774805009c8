#include "compose/test_pictures.h"

#include <QLinearGradient>
#include <QPainter>

QImage MakePainting(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(40, 80, 160));
    sky.setColorAt(0.6, QColor(230, 200, 120));
    sky.setColorAt(1, QColor(90, 60, 30));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 60));
    p.drawEllipse(QPointF(width * 0.7, height * 0.3), width * 0.12, width * 0.12);
    p.setBrush(QColor(20, 90, 40));
    p.drawRect(QRectF(0, height * 0.7, width, height * 0.3));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(width * 0.1, height * 0.1, width * 0.15, height * 0.2));
    return image;
}
