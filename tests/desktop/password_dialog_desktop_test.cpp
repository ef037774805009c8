// The pack password question as a person meets it: a real window on an X server
// with a window manager, typed into, with what the screen then shows saved for
// looking at. Run by with_desktop.sh.
#include "ui/pack_password_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(PackPasswordDialogOnScreen, NamesThePackHidesWhatIsTypedAndFitsItsText)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    for (const bool wrongBefore : {false, true}) {
        SCOPED_TRACE(wrongBefore ? "after a wrong password" : "first question");
        ui::TPackPasswordDialog dialog(QStringLiteral("Locked with 7-Zip"), wrongBefore);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QPushButton* ok = dialog.Buttons->button(QDialogButtonBox::Ok);
        EXPECT_FALSE(ok->isEnabled());
        QTest::keyClicks(dialog.PackPassword, QStringLiteral("password 7"));
        EXPECT_TRUE(ok->isEnabled());
        EXPECT_EQ(dialog.Password(), QStringLiteral("password 7"));
        EXPECT_FALSE(dialog.PackPassword->displayText().contains(QStringLiteral("ss")));
        EXPECT_EQ(dialog.Wrong->isVisible(), wrongBefore);

        // Every label shows its whole text at the width it was given, and the
        // window lies on the screen.
        for (const QLabel* label : {dialog.Question, dialog.Wrong}) {
            if (!label->isVisible())
                continue;
            EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
        }
        EXPECT_TRUE(dialog.Question->text().contains(QStringLiteral("\"Locked with 7-Zip\"")));
        QScreen* screen = dialog.screen();
        EXPECT_TRUE(screen->geometry().contains(dialog.frameGeometry())) << dialog.frameGeometry().width();

        // What the X server holds for the dialog's window: drawn, not blank (it
        // may take a moment to paint on a loaded machine).
        QImage shot;
        const auto drawn = [&] {
            shot = screen->grabWindow(dialog.winId()).toImage();
            std::set<QRgb> colours;
            for (int y = 0; y < shot.height(); y += 3)
                for (int x = 0; x < shot.width(); x += 3)
                    colours.insert(shot.pixel(x, y));
            return colours.size() > 8;
        };
        EXPECT_TRUE(QTest::qWaitFor(drawn, 20000)) << shot.width() << " x " << shot.height();
        if (const QString shots = qEnvironmentVariable("AMBIENCE_SCREENSHOTS"); !shots.isEmpty()) {
            QDir().mkpath(shots);
            shot.save(shots + (wrongBefore ? "/pack_password_dialog_wrong.png" : "/pack_password_dialog.png"));
        }
        dialog.reject();
    }
}

} // namespace
