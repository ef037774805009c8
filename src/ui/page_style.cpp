#include "ui/page_style.h"

#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace ui {

QColor GreyText(const QPalette& palette)
{
    QColor colour = palette.color(QPalette::Disabled, QPalette::WindowText);
    if (colour.lightness() > 150)
        colour = QColor(128, 128, 128);
    return colour;
}

QLabel* HeaderLabel(QWidget* parent, const char* name, const QString& caption, Qt::Alignment alignment)
{
    auto* label = Named(new QLabel(caption, parent), name);
    label->setAutoFillBackground(true);
    label->setAlignment(alignment | Qt::AlignVCenter);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, GreyText(palette));
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = Named(new QPushButton(caption, parent), name);
    button->setAutoDefault(false);
    return button;
}

} // namespace ui
