// The desktop program. Until the main window exists this shows a placeholder.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Ambience"));
    label.setMinimumSize(320, 120);
    label.setAlignment(Qt::AlignCenter);
    label.show();
    return app.exec();
}
