#include "ui/packs_page.h"

#include "change/caption_of.h"
#include "packs/load_picture.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/folders.h"
#include "ui/main_window.h"
#include "ui/page_style.h"
#include "ui/page_texts.h"
#include "ui/preview.h"
#include "ui/program_icons.h"
#include "core/random.h"

#include <QAction>
#include <QCoreApplication>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QProgressBar>
#include <QPushButton>

namespace ui {
namespace {

// Item data: the pack the item stands for; null for the "more packs" item.
constexpr int PackRole = Qt::UserRole + 1;

} // namespace

TPacksPage::TPacksPage(TAMMF& window) : window_(window)
{
    setObjectName(QStringLiteral("PS"));
    setContextMenuPolicy(Qt::CustomContextMenu);

    PV = new QListWidget(this);
    PV->setObjectName(QStringLiteral("PV"));
    PV->setViewMode(QListView::IconMode);
    PV->setMovement(QListView::Static);
    PV->setResizeMode(QListView::Adjust);
    PV->setWrapping(true);
    PV->setFlow(QListView::LeftToRight);
    PV->setWordWrap(true);
    PV->setIconSize(QSize(32, 32));
    PV->setSelectionMode(QAbstractItemView::SingleSelection);
    PV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PV->setContextMenuPolicy(Qt::CustomContextMenu);
    QPalette listPalette = PV->palette();
    const QColor grey = GreyText(listPalette);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        listPalette.setColor(group, QPalette::Base, grey);
        listPalette.setColor(group, QPalette::Text, Qt::white);
    }
    // Selection stays visible when the list is not focused.
    listPalette.setColor(QPalette::Inactive, QPalette::Highlight, listPalette.color(QPalette::Active, QPalette::Highlight));
    listPalette.setColor(QPalette::Inactive, QPalette::HighlightedText, listPalette.color(QPalette::Active, QPalette::HighlightedText));
    PV->setPalette(listPalette);

    Preview = new TPreview(this);
    Preview->setObjectName(QStringLiteral("Preview"));

    auto makeBar = [&](const char* name, Qt::Alignment alignment) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, grey);
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setAlignment(alignment | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        return label;
    };
    PSB = makeBar("PSB", Qt::AlignLeft);
    PSB2 = makeBar("PSB2", Qt::AlignRight);

    PB = new QProgressBar(this);
    PB->setObjectName(QStringLiteral("PB"));
    PB->setRange(0, 100);
    PB->setTextVisible(false);
    PB->hide();

    PictureBack = Button(this, "PictureBack", QStringLiteral("< &Back"));
    PictureNext = Button(this, "PictureNext", QStringLiteral("&Next >"));
    MorePacks = Button(this, "MorePacks", QStringLiteral("&More packs!"));
    FrontAction = Button(this, "FrontAction", QStringLiteral("&Refresh!"));
    QFont bold = FrontAction->font();
    bold.setBold(true);
    FrontAction->setFont(bold);
    PictureBack->hide();
    PictureNext->hide();
    MorePacks->hide();

    setTabOrder(PV, PictureBack);
    setTabOrder(PictureBack, PictureNext);
    setTabOrder(PictureNext, MorePacks);
    setTabOrder(MorePacks, FrontAction);
    setTabOrder(FrontAction, PB);

    connect(PictureBack, &QPushButton::clicked, this, &TPacksPage::PictureBackClick);
    connect(PictureNext, &QPushButton::clicked, this, &TPacksPage::PictureNextClick);
    SetChangeHandlerAttached(true);
}

void TPacksPage::LayOut(double scale)
{
    scale_ = scale;
    auto place = [scale](QWidget* widget, int left, int top, int width, int height) {
        widget->setGeometry(static_cast<int>(left * scale), static_cast<int>(top * scale),
                            static_cast<int>(width * scale), static_cast<int>(height * scale));
    };
    place(PV, 8, 8, 177, 297);
    place(Preview, 196, 8, 145, 145);
    place(PSB, 192, 256, 377, 14);
    place(PSB2, 496, 256, 73, 14);
    place(PB, 192, 256, 377, 16);
    place(PictureBack, 192, 280, 73, 25);
    place(PictureNext, 272, 280, 73, 25);
    place(MorePacks, 192, 280, 97, 25);
    place(FrontAction, 488, 280, 83, 25);
    const int spacing = static_cast<int>(75 * scale);
    PV->setGridSize(QSize(spacing, spacing));
    PB->raise();
    SizePreview();
}

void TPacksPage::SetChangeHandlerAttached(bool attached)
{
    if (attached == handlerAttached_)
        return;
    handlerAttached_ = attached;
    if (attached)
        connect(PV, &QListWidget::itemSelectionChanged, this, &TPacksPage::PVChange);
    else
        disconnect(PV, &QListWidget::itemSelectionChanged, this, &TPacksPage::PVChange);
}

void TPacksPage::FillPackList()
{
    SetChangeHandlerAttached(false);
    // The items and the current record point into the catalogue, which the rescan
    // replaces: drop them first.
    ++showGeneration_;
    PV->clear();
    currentRecord_ = nullptr;
    packs::ScanReport report;
    PackList->Rescan(packs::CurrentPackFolders().ScanOrder(), &report);
    if (!report.UnreadableFolders.empty() && !unreadableTold_) {
        // Once a run; told when the loop runs, so the box has a window to stand before.
        unreadableTold_ = true;
        QStringList folders;
        for (const std::string& folder : report.UnreadableFolders)
            folders << QString::fromStdString(folder);
        const QString text = QStringLiteral("The packs folder %1 cannot be read, so its packs are not listed.")
                                 .arg(folders.join(QStringLiteral("; ")));
        QTimer::singleShot(0, &window_, [this, text] { window_.ReportProblem(text); });
    }

    PV->setUpdatesEnabled(false);
    const int images = static_cast<int>(window_.PIL.size());
    for (int i = 0; i < PackList->Count(); ++i) {
        TPack& pack = PackList->PackAt(i);
        const int image = pack.Icon >= 0 && pack.Icon < images ? pack.Icon : 0;
        auto* item = new QListWidgetItem(QString::fromStdString(pack.Name), PV);
        if (image < images)
            item->setIcon(window_.PIL[static_cast<std::size_t>(image)]);
        item->setData(PackRole, QVariant::fromValue(reinterpret_cast<quintptr>(&pack)));
        item->setData(Qt::UserRole, image);
    }
    AddMorePacksItem();
    PV->setUpdatesEnabled(true);
    SetChangeHandlerAttached(true);
    PVChange();
}

void TPacksPage::AddMorePacksItem()
{
    QString caption = window_.SiteMorePacks->text();
    caption.remove(QLatin1Char('&'));
    const int image = RandomBelow(7) == 0 ? MorePacksRareIcon : MorePacksIcon;
    auto* item = new QListWidgetItem(caption, PV);
    if (image < static_cast<int>(window_.PIL.size()))
        item->setIcon(window_.PIL[static_cast<std::size_t>(image)]);
    item->setData(PackRole, QVariant::fromValue(quintptr{0}));
    item->setData(Qt::UserRole, image);
}

void TPacksPage::ClearPage()
{
    Preview->Clear();
    PSB->clear();
    PSB2->clear();
    currentRecord_ = nullptr;
}

void TPacksPage::PVChange()
{
    ClearPage();
    PictureBack->hide();
    PictureNext->hide();
    MorePacks->hide();
    window_.PackRemove->setVisible(false);
    ShowPackPage();
}

void TPacksPage::ShowPackPage()
{
    if (SelectedPack()) {
        PictureBack->show();
        PictureNext->show();
        window_.PackRemove->setVisible(true);
        ShowPicture();
    } else if (MorePacksSelected()) {
        MorePacks->show();
        ShowPicture();
    } else {
        PSB->setText(PackCountText(InstalledPackCount()));
        currentRecord_ = nullptr;
    }
}

void TPacksPage::ShowPicture()
{
    const unsigned generation = ++showGeneration_;
    if (TPack* pack = SelectedPack()) {
        const int n = static_cast<int>(pack->Pictures.size());
        int i = pack->Current;
        if (i < 0)
            i = 0;
        if (i > n - 1)
            i = n - 1;
        pack->Current = i;
        PictureBack->setEnabled(i > 0);
        PictureNext->setEnabled(i < n - 1);
        if (i != -1) {
            const TPic& record = pack->Pictures[static_cast<std::size_t>(i)];
            PSB->setText(QStringLiteral("  ") + change::ShortDescriptionOf(record, 50));
            currentRecord_ = &record;
            PSB2->setText(QStringLiteral("%1 of %2  ").arg(i + 1).arg(n));
            // The loader lets pending events run. When they refilled the list or
            // showed another picture meanwhile, this one belongs to nothing shown.
            std::string detail;
            graphics::Picture picture;
            const int code = LoadPicture(*pack, picture, i, &detail);
            if (generation != showGeneration_)
                return;
            Preview->SetPicture(std::move(picture));
            SizePreview();
            if (code != 0)
                window_.ReportPackError(code, QString::fromStdString(detail));
            return;
        }
    } else if (MorePacksSelected()) {
        PSB->setText(QStringLiteral("  Get more art packs from our web-site!"));
        currentRecord_ = nullptr;
        Preview->SetPicture(LoadBuiltinPicture());
    }
    SizePreview();
}

void TPacksPage::SizePreview()
{
    const graphics::Picture& picture = Preview->Picture();
    const QSize size = PreviewSize(window_.height(), picture.Width(), picture.Height());
    Preview->resize(size);
}

void TPacksPage::PictureNextClick()
{
    if (TPack* pack = SelectedPack()) {
        ++pack->Current;
        ShowPicture();
    }
}

void TPacksPage::PictureBackClick()
{
    if (TPack* pack = SelectedPack()) {
        --pack->Current;
        ShowPicture();
    }
}

TPack* TPacksPage::PackOfItem(int row) const
{
    const QListWidgetItem* item = PV->item(row);
    if (!item)
        return nullptr;
    return reinterpret_cast<TPack*>(item->data(PackRole).value<quintptr>());
}

TPack* TPacksPage::SelectedPack() const
{
    const QList<QListWidgetItem*> selected = PV->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    return PackOfItem(PV->row(selected.first()));
}

bool TPacksPage::MorePacksSelected() const
{
    const QList<QListWidgetItem*> selected = PV->selectedItems();
    return !selected.isEmpty() && PV->row(selected.first()) == PV->count() - 1;
}

int TPacksPage::InstalledPackCount() const
{
    return PV->count() - 1;
}

const graphics::Picture& TPacksPage::PreviewPicture() const
{
    return Preview->Picture();
}

namespace {
std::vector<int> ListedPictureCounts(const TPacksPage& page)
{
    std::vector<int> counts;
    for (int row = 0; row < page.InstalledPackCount(); ++row) {
        const TPack* pack = page.PackOfItem(row);
        counts.push_back(pack ? static_cast<int>(pack->Pictures.size()) : 0);
    }
    return counts;
}
} // namespace

int TPacksPage::TotalPictureCount() const
{
    return packs::TotalPictureCount(ListedPictureCounts(*this));
}

int TPacksPage::CurrentPictureIndex() const
{
    const std::vector<int> counts = ListedPictureCounts(*this);
    std::optional<int> selected;
    int current = 0;
    for (int row = 0; row < InstalledPackCount(); ++row) {
        if (PV->item(row)->isSelected()) {
            selected = row;
            current = PackOfItem(row)->Current;
            break;
        }
    }
    return packs::CurrentPictureIndex(counts, selected, current);
}

void TPacksPage::SelectPictureByIndex(int k)
{
    SetChangeHandlerAttached(false);
    PV->clearSelection();
    if (const auto position = packs::LocatePicture(ListedPictureCounts(*this), k)) {
        QListWidgetItem* item = PV->item(position->Pack);
        PackOfItem(position->Pack)->Current = position->Picture;
        item->setSelected(true);
        PV->setCurrentItem(item, QItemSelectionModel::NoUpdate);
        PV->scrollToItem(item);
    }
    SetChangeHandlerAttached(true);
    PVChange();
    QCoreApplication::processEvents();
}

} // namespace ui
