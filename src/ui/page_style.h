#pragma once
// Small helpers the pages share to make their controls look alike: header labels in
// the grey-text colour with white bold text, named controls, plain buttons.
#include <QColor>
#include <QString>

class QLabel;
class QPalette;
class QPushButton;
class QWidget;

namespace ui {

// The system's grey-text colour, darkened where white text would not be readable on it.
QColor GreyText(const QPalette& palette);

// Gives a widget its object name (tests find controls by it) and returns it.
template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A header label: grey-text background, white bold text.
QLabel* HeaderLabel(QWidget* parent, const char* name, const QString& caption, Qt::Alignment alignment);

// A push button that does not become the default button when it gets the focus.
QPushButton* Button(QWidget* parent, const char* name, const QString& caption);

} // namespace ui
