#pragma once
// The About page (AS): on the left the product's name, version, notice line, web site
// and support address as links, Tutorial and FAQ and a short description; on the
// right one featured link, drawn anew from the compiled-in list each time the page is
// opened, with its picture in the page's bottom-right corner. Every link goes to the
// shell (the web browser or the mail program).
#include "ui/featured_links.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <functional>

class QPushButton;
class QTabWidget;
class QTextEdit;
struct TProduct;

namespace ui {

// Help commands of the application's help event.
constexpr int HELP_CONTEXT = 1;
constexpr int HELP_CONTEXTPOPUP = 8;

// What a link label opens for its address: an address with an at sign becomes a
// mail address with a subject naming the product; anything else goes unchanged.
QString LinkTarget(const QString& address, const QString& productName);

// A label clicked like a link. It keeps the full address it stands for, even when
// its caption has to be shortened to fit.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent = nullptr);
    // Sets the address; the caption shows it, cut in the middle when wider than
    // maxWidth pixels (0: never cut). The label takes the caption's width.
    void SetAddress(const QString& address, int maxWidth = 0);
    const QString& Address() const { return address_; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString address_;
};

class TAboutPage : public QWidget {
    Q_OBJECT
public:
    // featuredText and pictureFolder name the featured-links text and the folder
    // of its pictures (the compiled-in ones unless a test gives others).
    explicit TAboutPage(const TProduct& product, QWidget* parent = nullptr,
                        QString featuredText = QString::fromLatin1(kFeaturedLinksPath),
                        QString pictureFolder = QString::fromLatin1(kFeaturedPictureFolder));

    // How links are opened; platform::OpenWithShell unless a test gives another.
    void SetOpener(std::function<bool(const QString&)> open) { open_ = std::move(open); }

    // Fills the product labels from the product record (done by the constructor).
    void FillProductLabels();
    // Places the controls at their design positions times scale; controls whose
    // text needs more room grow. Done again when the page is resized.
    void LayOut(double scale);
    // Shows a new featured link each time the user makes this page the active one
    // of pc, and F1 anywhere in pc's window opens the help page.
    void AttachTo(QTabWidget* pc);
    void InstallHelpKey(QWidget* window);

    void ShowFeaturedLink();
    // The entry now shown, by position in the list; -1 before the first draw.
    int ShownEntry() const { return shown_; }
    void LinkClick(TLinkLabel* label);
    void LinkImageClick();
    void TutorialClick();
    void FAQClick();
    // The help event: HELP_CONTEXT and HELP_CONTEXTPOPUP open the site's
    // "help.html". Always handled; the system help engine is never asked.
    bool AEHelp(int command, int data, bool* callHelp = nullptr);

    // Controls, named as the form names them (also their objectName).
    QLabel* AboutProduct = nullptr;
    QLabel* AboutCopyright = nullptr;
    TLinkLabel* AboutSite = nullptr;
    TLinkLabel* AboutEmail = nullptr;
    QPushButton* Tutorial = nullptr;
    QPushButton* FAQ = nullptr;
    QTextEdit* ProductInfo = nullptr;
    QLabel* LinkHeader = nullptr;
    QLabel* LinkName = nullptr;
    TLinkLabel* LinkLink = nullptr;
    TLinkLabel* LinkLink2 = nullptr;
    QTextEdit* LinkInfo = nullptr;
    TLinkLabel* LinkImage = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    const TProduct& product_;
    void Open(const QString& address);
    void ArrangeLinkLabels();
    void PlaceLinkImage();

    std::function<bool(const QString&)> open_;
    QString featuredText_;
    QString pictureFolder_;
    double scale_ = 1.0;
    int shown_ = -1;
};

} // namespace ui
