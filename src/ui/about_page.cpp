#include "ui/about_page.h"

#include "core/product.h"
#include "platform/shell.h"
#include "ui/page_style.h"

#include <QFile>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTextEdit>
#include <QTextOption>

#include <algorithm>

// The featured links are compiled into the static resource library; naming them
// here links them in. Q_INIT_RESOURCE must be used outside any namespace.
static void InitFeaturedResources()
{
    Q_INIT_RESOURCE(featured);
}

namespace ui {

QString LinkTarget(const QString& address, const QString& productName)
{
    if (!address.contains(QLatin1Char('@')))
        return address;
    // The subject is already in the address's own encoding: %20 is a space.
    return QStringLiteral("mailto:") + address + QStringLiteral("?subject=A%20message.%20Posted%20from%20")
           + productName + QLatin1Char('.');
}

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent)
{
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(false);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 128)); // navy
    setPalette(palette);
}

void TLinkLabel::SetAddress(const QString& address, int maxWidth)
{
    address_ = address;
    const QFontMetrics metrics(font());
    QString caption = address;
    if (maxWidth > 0 && metrics.horizontalAdvance(address) > maxWidth)
        caption = metrics.elidedText(address, Qt::ElideMiddle, maxWidth);
    setText(caption);
    setToolTip(caption == address ? QString() : address);
    resize(caption.isEmpty() ? QSize(0, sizeHint().height()) : sizeHint());
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

namespace {

// A read-only text without a border on the page's own colour.
QTextEdit* Memo(QWidget* parent, const char* name, Qt::Alignment alignment)
{
    auto* memo = Named(new QTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setAcceptRichText(false);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->viewport()->setAutoFillBackground(false);
    memo->setAutoFillBackground(false);
    memo->document()->setDocumentMargin(0);
    QTextOption option = memo->document()->defaultTextOption();
    option.setAlignment(alignment);
    memo->document()->setDefaultTextOption(option);
    return memo;
}

const char* const kProductDescription =
    "Ambience turns your desktop into an art gallery. It hangs a work of art from your "
    "art packs on the desktop and changes the exposition by itself at regular intervals, "
    "or whenever you click. Every exposition sets its picture on a tranquil, neutral or "
    "vivid background drawn in colours of your choice, with the title, year and author "
    "of the work beneath it.";

} // namespace

TAboutPage::TAboutPage(const TProduct& product, QWidget* parent, QString featuredText, QString pictureFolder)
    : QWidget(parent), product_(product), open_(&platform::OpenWithShell), featuredText_(std::move(featuredText)),
      pictureFolder_(std::move(pictureFolder))
{
    static const bool registered = (InitFeaturedResources(), true);
    (void)registered;
    setObjectName(QStringLiteral("AS"));
    AboutProduct = HeaderLabel(this, "AboutProduct", QString(), Qt::AlignLeft);
    AboutCopyright = HeaderLabel(this, "AboutCopyright", QString(), Qt::AlignLeft);
    AboutSite = Named(new TLinkLabel(this), "AboutSite");
    AboutEmail = Named(new TLinkLabel(this), "AboutEmail");
    Tutorial = Button(this, "Tutorial", QStringLiteral("&Tutorial"));
    FAQ = Button(this, "FAQ", QStringLiteral("&FAQ"));
    ProductInfo = Memo(this, "ProductInfo", Qt::AlignLeft);
    ProductInfo->setPlainText(QString::fromLatin1(kProductDescription));

    LinkHeader = HeaderLabel(this, "LinkHeader", QString(), Qt::AlignRight);
    LinkHeader->setText(QStringLiteral("Featured Link!  "));
    LinkName = HeaderLabel(this, "LinkName", QString(), Qt::AlignRight);
    LinkLink = Named(new TLinkLabel(this), "LinkLink");
    LinkLink2 = Named(new TLinkLabel(this), "LinkLink2");
    LinkInfo = Memo(this, "LinkInfo", Qt::AlignRight);
    LinkImage = Named(new TLinkLabel(this), "LinkImage");
    LinkImage->hide();

    for (TLinkLabel* label : {AboutSite, AboutEmail, LinkLink, LinkLink2})
        connect(label, &TLinkLabel::clicked, this, [this, label] { LinkClick(label); });
    connect(LinkImage, &TLinkLabel::clicked, this, &TAboutPage::LinkImageClick);
    connect(Tutorial, &QPushButton::clicked, this, &TAboutPage::TutorialClick);
    connect(FAQ, &QPushButton::clicked, this, &TAboutPage::FAQClick);

    // Lays out with this font until the window gives its scale; fills the product
    // labels from Product on the way.
    LayOut(std::max(1.0, QFontMetrics(font()).height() / 13.0));
}

void TAboutPage::FillProductLabels()
{
    AboutProduct->setText(QStringLiteral("  ") + product_.ProductTitle + QLatin1Char(' ') + product_.ProductVersion);
    AboutCopyright->setText(QStringLiteral("  ") + product_.NoticeLine);
    AboutSite->SetAddress(product_.SiteAddress, static_cast<int>(279 * scale_));
    AboutEmail->SetAddress(product_.SupportAddress, static_cast<int>(279 * scale_));
}

void TAboutPage::LayOut(double s)
{
    scale_ = s;
    auto S = [s](int v) { return static_cast<int>(v * s); };
    const int headerHeight = std::max(S(14), QFontMetrics(AboutProduct->font()).height() + 2);
    const int linkHeight = AboutSite->sizeHint().height();

    AboutProduct->setGeometry(S(8), S(8), S(281), headerHeight);
    const int copyrightTop = std::max(S(32), AboutProduct->geometry().bottom() + 1 + S(6));
    AboutCopyright->setGeometry(S(8), copyrightTop, S(281), headerHeight);
    const int siteTop = std::max(S(58), copyrightTop + headerHeight + S(8));
    AboutSite->move(S(10), siteTop);
    const int emailTop = std::max(S(78), siteTop + linkHeight + S(4));
    AboutEmail->move(S(10), emailTop);

    const int buttonTop = std::max(S(104), emailTop + linkHeight + S(8));
    const int buttonHeight = std::max(S(25), Tutorial->sizeHint().height());
    const int tutorialWidth = std::max(S(73), Tutorial->sizeHint().width());
    Tutorial->setGeometry(S(8), buttonTop, tutorialWidth, buttonHeight);
    const int faqLeft = std::max(S(88), S(8) + tutorialWidth + S(7));
    FAQ->setGeometry(faqLeft, buttonTop, std::max(S(69), FAQ->sizeHint().width()), buttonHeight);
    const int infoTop = std::max(S(140), buttonTop + buttonHeight + S(11));
    int infoHeight = S(159);
    if (height() > 0)
        infoHeight = std::max(S(40), std::min(infoHeight, height() - infoTop - S(8)));
    ProductInfo->setGeometry(S(8), infoTop, S(225), infoHeight);

    LinkHeader->setGeometry(S(288), S(8), S(281), headerHeight);
    LinkName->setGeometry(S(288), copyrightTop, S(281), headerHeight);
    LinkInfo->setGeometry(S(336), buttonTop, S(240), LinkInfo->height());
    FillProductLabels();
    ArrangeLinkLabels();
    PlaceLinkImage();
}

void TAboutPage::ArrangeLinkLabels()
{
    // Right-aligned: the right edge stays where it is and the labels grow leftwards,
    // at most across the right half of the page.
    const int right = static_cast<int>(569 * scale_);
    const int maxWidth = static_cast<int>(281 * scale_);
    const std::pair<TLinkLabel*, TLinkLabel*> rows[] = {{LinkLink, AboutSite}, {LinkLink2, AboutEmail}};
    for (const auto& [label, besides] : rows) {
        label->SetAddress(label->Address(), maxWidth);
        label->move(right - label->width(), besides->y());
    }
}

void TAboutPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut(scale_);
}

void TAboutPage::AttachTo(QTabWidget* pc)
{
    connect(pc, &QTabWidget::currentChanged, this, [this, pc] {
        if (pc->currentWidget() == this)
            ShowFeaturedLink();
    });
}

void TAboutPage::InstallHelpKey(QWidget* window)
{
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setObjectName(QStringLiteral("HelpKey"));
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this] { AEHelp(HELP_CONTEXT, 0); });
}

void TAboutPage::ShowFeaturedLink()
{
    // Read and parsed anew each time: the featured part keeps nothing between draws.
    QString text;
    QFile file(featuredText_);
    if (file.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(file.readAll());
    const std::vector<FeaturedLink> links = ParseFeaturedLinks(text);
    shown_ = DrawFeaturedIndex(static_cast<int>(links.size()));
    const FeaturedLink entry = shown_ >= 0 ? links[static_cast<std::size_t>(shown_)] : FeaturedLink{};

    LinkName->setText(entry.name + QStringLiteral("  "));
    LinkLink->SetAddress(entry.link);
    LinkLink2->SetAddress(entry.link2);
    LinkInfo->setPlainText(entry.description);
    ArrangeLinkLabels();

    QPixmap picture;
    if (shown_ >= 0)
        picture.load(FeaturedPicturePath(pictureFolder_, shown_));
    LinkImage->setPixmap(picture);
    LinkImage->setVisible(!picture.isNull());
    if (!picture.isNull())
        LinkImage->resize(picture.deviceIndependentSize().toSize());
    PlaceLinkImage();
}

void TAboutPage::PlaceLinkImage()
{
    // The offsets of the page's first label: the picture sits as far from the
    // bottom-right corner as that label from the top-left one, and the
    // description ends the same distance above the picture.
    const int offsetX = AboutProduct->x();
    const int offsetY = AboutProduct->y();
    int infoBottom = height() - offsetY;
    if (LinkImage->isVisibleTo(this)) {
        LinkImage->move(width() - LinkImage->width() - offsetX, height() - LinkImage->height() - offsetY);
        infoBottom = LinkImage->y() - offsetY;
    }
    LinkInfo->resize(LinkInfo->width(), std::max(0, infoBottom - LinkInfo->y()));
}

void TAboutPage::Open(const QString& address)
{
    // Whether the shell could open it is not reported, as with any link.
    if (!address.isEmpty() && open_)
        open_(address);
}

void TAboutPage::LinkClick(TLinkLabel* label)
{
    if (!label)
        return;
    const QString& address = label->Address();
    if (address.isEmpty())
        return;
    Open(LinkTarget(address, product_.ProductName));
}

void TAboutPage::LinkImageClick()
{
    LinkClick(LinkLink);
}

void TAboutPage::TutorialClick()
{
    AEHelp(HELP_CONTEXT, 0);
}

void TAboutPage::FAQClick()
{
    Open(product_.SiteAddress + QStringLiteral("faq.html"));
}

bool TAboutPage::AEHelp(int command, int /*data*/, bool* callHelp)
{
    if (command == HELP_CONTEXT || command == HELP_CONTEXTPOPUP)
        Open(product_.SiteAddress + QStringLiteral("help.html"));
    if (callHelp)
        *callHelp = false;
    return true;
}

} // namespace ui
