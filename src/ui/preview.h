#pragma once
// The Packs page's image: shows one picture (raster or metafile) stretched to the
// widget's size. It owns the picture; the composer borrows it.
#include "graphics/picture.h"

#include <QWidget>

namespace ui {

class TPreview : public QWidget {
    Q_OBJECT
public:
    explicit TPreview(QWidget* parent = nullptr);

    const graphics::Picture& Picture() const { return picture_; }
    void SetPicture(graphics::Picture picture);
    void Clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    graphics::Picture picture_;
    QImage rendered_; // the picture stretched to the widget, made on first paint
};

// The built-in picture (":/builtin/builtin.emf"), loaded as a metafile; empty when
// the resource is missing or cannot be read.
graphics::Picture LoadBuiltinPicture();

} // namespace ui
