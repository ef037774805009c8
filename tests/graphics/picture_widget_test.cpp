// A picture drawn by a widget that sits inside a window: the painter's device is
// the widget, while its device transform also holds the widget's offset in the
// window's backing store. The picture must still land where the widget asked.
#include "graphics/picture.h"

#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class PictureWidget : public QWidget {
public:
    PictureWidget(graphics::Picture picture, QWidget* parent) : QWidget(parent), picture_(std::move(picture)) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        picture_.Draw(painter, QRect(10, 5, 60, 40));
    }

private:
    graphics::Picture picture_;
};

TEST(Picture, DrawsInsideAChildWidgetAtItsOffset)
{
    QImage red(30, 20, QImage::Format_RGB888);
    red.fill(QColor(200, 30, 40));

    QWidget window;
    window.setFixedSize(200, 150);
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    auto* child = new PictureWidget(graphics::Picture::FromImage(red), &window);
    child->setGeometry(50, 40, 100, 80);

    const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB888);
    ASSERT_FALSE(shot.isNull());
    // Inside the target, in window coordinates (50 + 10, 40 + 5) .. (50 + 70, 40 + 45).
    EXPECT_EQ(shot.pixelColor(60, 45), QColor(200, 30, 40));
    EXPECT_EQ(shot.pixelColor(119, 84), QColor(200, 30, 40));
    EXPECT_EQ(shot.pixelColor(90, 65), QColor(200, 30, 40));
    // Just outside it.
    EXPECT_NE(shot.pixelColor(59, 45), QColor(200, 30, 40));
    EXPECT_NE(shot.pixelColor(120, 85), QColor(200, 30, 40));
}

} // namespace
