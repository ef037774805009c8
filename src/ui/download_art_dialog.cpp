#include "ui/download_art_dialog.h"

#include "museum/museums.h"
#include "settings/fresh_pack.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace ui {

std::optional<DownloadArtAnswers> Dialogs::DownloadArt(QWidget* owner)
{
    TDownloadArtDialog dialog(owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Answers();
}

const std::vector<ArtTheme>& ArtThemes()
{
    // Subjects every collection holds many public-domain paintings, prints or
    // drawings of, which fill a screen well.
    static const std::vector<ArtTheme> themes = {
        {"Impressionism", "impressionism"},
        {"Japanese woodblock prints", "Japanese woodblock print"},
        {"Dutch Golden Age", "Dutch Golden Age"},
        {"Landscapes", "landscape"},
        {"Seascapes", "seascape"},
        {"Still life", "still life"},
        {"Flowers", "flowers"},
        {"Botanical drawings", "botanical"},
    };
    return themes;
}

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}


QString Megabytes(std::int64_t bytes)
{
    return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

} // namespace

TDownloadArtDialog::TDownloadArtDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DownloadArtDialog"));
    setWindowTitle(QStringLiteral("Download art"));

    Museum = Named(new QComboBox(this), "Museum");
    for (const museum::Source source : museum::AllSources())
        Museum->addItem(QString::fromLatin1(museum::Info(source).name), QString::fromLatin1(museum::Info(source).code));
    Theme = Named(new QComboBox(this), "Theme");
    for (const ArtTheme& theme : ArtThemes())
        Theme->addItem(QString::fromUtf8(theme.caption), QString::fromUtf8(theme.query));
    Theme->addItem(QStringLiteral("Your own query"));
    Theme->setCurrentIndex(3); // landscapes suit a desktop best
    OwnQuery = Named(new QLineEdit(this), "OwnQuery");
    OwnQuery->setPlaceholderText(QStringLiteral("for example: Monet, tigers, Venice"));
    Count = Named(new QSpinBox(this), "Count");
    Count->setRange(1, 200);
    Count->setValue(40);
    KeepFresh = Named(new QCheckBox(QStringLiteral("Keep this pack &fresh: renew a quarter of it every"), this), "KeepFresh");
    KeepFresh->setToolTip(QStringLiteral("In the background, when the network is up and not metered, new works come "
                                         "into the pack and the oldest leave. One pack is kept fresh at a time."));
    FreshDays = Named(new QSpinBox(this), "FreshDays");
    FreshDays->setRange(1, settings::kFreshPackMaxDays);
    FreshDays->setValue(7);
    FreshDays->setSuffix(QStringLiteral(" days"));
    FreshDays->setEnabled(false);
    Licence = Named(new QLabel(QStringLiteral("Only works the museum has put in the public domain (CC0) are taken, "
                                              "at a size that fills a 4K screen. The museum is asked over the "
                                              "Internet; the images are kept in your cache folder."),
                               this),
                    "Licence");
    Licence->setWordWrap(true);
    Buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "Buttons");
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Download"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Museum:"), Museum);
    form->addRow(QStringLiteral("&Theme:"), Theme);
    form->addRow(QStringLiteral("&Query:"), OwnQuery);
    form->addRow(QStringLiteral("&Works:"), Count);
    auto* fresh = new QHBoxLayout;
    fresh->addWidget(KeepFresh);
    fresh->addWidget(FreshDays);
    fresh->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(fresh);
    layout->addWidget(Licence);
    layout->addWidget(Buttons);
    resize(460, 290);

    connect(Theme, &QComboBox::currentIndexChanged, this, [this] { UpdateOk(); });
    connect(OwnQuery, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(KeepFresh, &QCheckBox::toggled, FreshDays, &QWidget::setEnabled);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    UpdateOk();
}

bool TDownloadArtDialog::OwnQueryChosen() const
{
    return Theme->currentIndex() == Theme->count() - 1;
}

void TDownloadArtDialog::UpdateOk()
{
    OwnQuery->setEnabled(OwnQueryChosen());
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(!OwnQueryChosen() || !OwnQuery->text().trimmed().isEmpty());
}

DownloadArtAnswers TDownloadArtDialog::Answers() const
{
    DownloadArtAnswers answers;
    answers.museum = Museum->currentData().toString();
    const bool own = OwnQueryChosen();
    answers.query = own ? OwnQuery->text().trimmed() : Theme->currentData().toString();
    const QString subject = own ? answers.query : Theme->currentText();
    answers.name = Museum->currentText() + QStringLiteral(": ") + subject;
    answers.count = Count->value();
    answers.keepFresh = KeepFresh->isChecked();
    answers.everyDays = FreshDays->value();
    return answers;
}

core::Result<void> SubscribeFreshPack(platform::Registry& store, const QString& key, const DownloadArtAnswers& answers,
                                      const QString& archive, const QDateTime& now)
{
    settings::FreshPack fresh;
    fresh.museum = answers.museum;
    fresh.theme = settings::FreshPackTheme(answers.query);
    fresh.count = answers.count;
    fresh.everyDays = answers.everyDays;
    fresh.pack = QFileInfo(archive).fileName();
    AMBIENCE_TRY(settings::SaveFreshPack(store, key, fresh));
    return settings::SaveFreshPackRecord(store, key, {now.toUTC(), {}});
}

TDownloadArtProgress::TDownloadArtProgress(QWidget* parent)
    : TWorkProgress(parent, "DownloadArtProgress", QStringLiteral("Downloading art"),
                    QStringLiteral("Asking the museum..."), "DownloadArt", true, 440)
{
}

void TDownloadArtProgress::Start(const museum::FetchRequest& request)
{
    // The network client lives and runs on the worker; only progress crosses over.
    Run([this, request] {
        // Bytes arrive in many small pieces; the window is told of them a few
        // times a second, of everything else at once.
        QElapsedTimer sinceTold;
        museum::FetchProgress told;
        core::Result<museum::FetchedPack> result = museum::Fetch(
            request,
            [&](const museum::FetchProgress& p) {
                const bool onlyBytes = p.note.isEmpty() && p.stage == told.stage && p.imagesDone == told.imagesDone
                                       && p.worksFound == told.worksFound
                                       && static_cast<int>(p.writing * 100) == static_cast<int>(told.writing * 100);
                if (onlyBytes && sinceTold.isValid() && sinceTold.elapsed() < 150)
                    return;
                told = p;
                sinceTold.start();
                QMetaObject::invokeMethod(this, [this, p] { Progress(p); }, Qt::QueuedConnection);
            },
            &cancel_);
        QMetaObject::invokeMethod(this, [this, result = std::move(result)]() mutable { Done(std::move(result)); },
                                  Qt::QueuedConnection);
    });
}

void TDownloadArtProgress::Progress(const museum::FetchProgress& p)
{
    if (cancel_)
        return;
    if (!p.note.isEmpty())
        Note->setText(p.note);
    switch (p.stage) {
    case museum::FetchStage::Searching:
        Bar->setRange(0, 0);
        Status->setText(QStringLiteral("Searching the collection: %1 work(s) found").arg(p.worksFound));
        break;
    case museum::FetchStage::Downloading:
        Bar->setRange(0, std::max(1, p.imagesWanted));
        Bar->setValue(p.imagesDone);
        Status->setText(QStringLiteral("Image %1 of %2 (%3 downloaded)")
                            .arg(std::min(p.imagesDone + 1, p.imagesWanted))
                            .arg(p.imagesWanted)
                            .arg(Megabytes(p.bytes)));
        break;
    case museum::FetchStage::Packing:
        Bar->setRange(0, 100);
        Bar->setValue(static_cast<int>(p.writing * 100));
        Status->setText(QStringLiteral("Making the pack of %1 work(s)...").arg(p.imagesDone));
        break;
    }
}

void TDownloadArtProgress::Done(core::Result<museum::FetchedPack> result)
{
    result_ = std::move(result);
    Finish(result_.ok());
}

} // namespace ui
