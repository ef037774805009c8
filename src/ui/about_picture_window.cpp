#include "ui/about_picture_window.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    // The person may want to copy a title or a credit line.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The thumbnail's size on the screen: the record keeps them about this large.
constexpr int kShownSide = 240;

} // namespace

TAboutPictureWindow::TAboutPictureWindow(std::function<bool(const QString&)> openAddress, QWidget* parent)
    : QDialog(parent), openAddress_(std::move(openAddress))
{
    setObjectName(QStringLiteral("AboutPicture"));
    setWindowTitle(QStringLiteral("About this picture"));

    Thumbnail = new QLabel(this);
    Thumbnail->setObjectName(QStringLiteral("AboutPictureThumbnail"));
    Thumbnail->setAlignment(Qt::AlignCenter);
    Thumbnail->setMinimumSize(kShownSide, kShownSide * 2 / 3);
    TitleLabel = MakeLabel(this, "AboutPictureTitle");
    QFont big = TitleLabel->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.25);
    TitleLabel->setFont(big);
    Details = MakeLabel(this, "AboutPictureDetails");
    Source = MakeLabel(this, "AboutPictureSource");
    Problem = MakeLabel(this, "AboutPictureProblem");
    Problem->hide();
    OpenPage = new QPushButton(QStringLiteral("Open the museum's page"), this);
    OpenPage->setObjectName(QStringLiteral("AboutPictureOpenPage"));
    connect(OpenPage, &QPushButton::clicked, this, &TAboutPictureWindow::OpenMuseumPage);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(OpenPage, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* text = new QVBoxLayout;
    text->addWidget(TitleLabel);
    text->addWidget(Details);
    text->addWidget(Source);
    text->addWidget(Problem);
    text->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(Thumbnail, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buttons);
    setMinimumWidth(kShownSide * 2 + 40);
}

void TAboutPictureWindow::SetEntry(const gallery::WallEntry& entry)
{
    entry_ = entry;
    QImage picture;
    if (!entry.thumbnail.isEmpty()) {
        QImageReader reader(entry.thumbnail);
        reader.setAutoTransform(true);
        picture = reader.read();
    }
    if (picture.isNull()) {
        Thumbnail->setPixmap({});
        Thumbnail->setText(QStringLiteral("(no picture)"));
    } else {
        Thumbnail->setPixmap(QPixmap::fromImage(
            picture.scaled(kShownSide, kShownSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }

    const QString title = entry.title.simplified();
    TitleLabel->setText(title.isEmpty() ? QStringLiteral("A gradient without art") : title);
    QStringList details;
    if (!entry.year.simplified().isEmpty())
        details << QStringLiteral("Year: %1").arg(entry.year.simplified());
    if (!entry.author.simplified().isEmpty())
        details << QStringLiteral("Artist: %1").arg(entry.author.simplified());
    if (!entry.packName.isEmpty() || !entry.packFile.isEmpty())
        details << QStringLiteral("Pack: %1").arg(entry.packName.isEmpty() ? entry.packFile : entry.packName);
    if (entry.time.isValid())
        details << QStringLiteral("Shown: %1").arg(QLocale().toString(entry.time.toLocalTime(), QLocale::LongFormat));
    if (!entry.monitor.isEmpty())
        details << QStringLiteral("Monitor: %1").arg(entry.monitor);
    Details->setText(details.join(QLatin1Char('\n')));

    QStringList source;
    if (!entry.source.credit.isEmpty())
        source << entry.source.credit;
    if (!entry.source.licence.isEmpty())
        source << QStringLiteral("Licence: %1").arg(entry.source.licence);
    Source->setText(source.join(QLatin1Char('\n')));
    Source->setVisible(!source.isEmpty());
    OpenPage->setVisible(!entry.source.page.isEmpty());
    OpenPage->setToolTip(entry.source.page);
    Problem->hide();
}

void TAboutPictureWindow::OpenMuseumPage()
{
    if (entry_.source.page.isEmpty())
        return;
    if (openAddress_ && openAddress_(entry_.source.page)) {
        Problem->hide();
        return;
    }
    // Said in the window itself: a box over a small window for a link is too much.
    Problem->setText(QStringLiteral("No program could be started to open %1.").arg(entry_.source.page));
    Problem->show();
}

} // namespace ui
