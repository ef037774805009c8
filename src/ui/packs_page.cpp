#include "ui/packs_page.h"

#include "change/caption_of.h"
#include "change/selection_model.h"
#include "packs/load_picture.h"
#include "packs/pack_folders.h"
#include "packs/pack_list.h"
#include "packs/selection.h"
#include "platform/folders.h"
#include "ui/main_window.h"
#include "ui/pack_passwords.h"
#include "ui/page_style.h"
#include "ui/page_texts.h"
#include "ui/preview.h"
#include "ui/program_icons.h"
#include "core/random.h"

#include <QAction>
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

TPacksPage::TPacksPage(TAMMF& window, change::SelectionModel& selection) : window_(window), selection_(selection)
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
    connect(&selection_, &change::SelectionModel::Changed, this, &TPacksPage::ShowSelection);
    connect(&selection_, &change::SelectionModel::PictureProblem, this, [this](int code, const QString& detail) {
        // Told once the current work has returned: a message box's own loop must
        // never hold up whoever stepped the selection (a change, a hand-over).
        if (const TPack* pack = selection_.SelectedPack(); pack && selection_.CurrentLocked()) {
            // Not a fault: the pack's password is asked for.
            QTimer::singleShot(0, &window_, [this, path = pack->Path] { window_.Passwords().Locked(path); });
            return;
        }
        // The detail is a whole sentence that already names the reason.
        QTimer::singleShot(0, &window_, [this, code, detail] {
            if (detail.isEmpty())
                window_.ReportPackError(code);
            else
                window_.ReportProblem(detail + QLatin1Char('.'));
        });
    });
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
    // The items and the model point into the catalogue, which the rescan replaces:
    // drop them first.
    PV->clear();
    selection_.CatalogueReplaced();
    TPackList& catalogue = window_.Catalogue();
    packs::ScanReport report;
    catalogue.Rescan(packs::CurrentPackFolders().ScanOrder(), &report);
    window_.Passwords().Apply(catalogue);
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
    for (int i = 0; i < catalogue.Count(); ++i) {
        TPack& pack = catalogue.PackAt(i);
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
    emit ListFilled();
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
}

void TPacksPage::PVChange()
{
    const QList<QListWidgetItem*> selected = PV->selectedItems();
    const int row = selected.isEmpty() ? -1 : PV->row(selected.first());
    if (row < 0)
        selection_.SelectNone();
    else if (row == PV->count() - 1)
        selection_.SelectMorePacks();
    else
        selection_.SelectPack(row);
}

void TPacksPage::ShowSelection()
{
    // PV follows the model without handing the selection back to it.
    SetChangeHandlerAttached(false);
    const int row = selection_.Selected() == change::SelectionModel::Item::MorePacks ? PV->count() - 1
                                                                                      : selection_.SelectedPackIndex();
    QListWidgetItem* item = row >= 0 ? PV->item(row) : nullptr;
    if (!item || !item->isSelected()) {
        PV->clearSelection();
        if (item) {
            item->setSelected(true);
            PV->setCurrentItem(item, QItemSelectionModel::NoUpdate);
            PV->scrollToItem(item);
        }
    }
    SetChangeHandlerAttached(true);

    ClearPage();
    PictureBack->hide();
    PictureNext->hide();
    MorePacks->hide();
    window_.PackRemove->setVisible(false);
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
    }
}

void TPacksPage::ShowPicture()
{
    if (const TPack* pack = selection_.SelectedPack()) {
        const int n = static_cast<int>(pack->Pictures.size());
        const int i = pack->Current;
        PictureBack->setEnabled(i > 0);
        PictureNext->setEnabled(i < n - 1);
        if (const TPic* record = selection_.CurrentRecord()) {
            PSB->setText(QStringLiteral("  ") + change::ShortDescriptionOf(*record, 50));
            PSB2->setText(QStringLiteral("%1 of %2  ").arg(i + 1).arg(n));
        }
    } else if (MorePacksSelected()) {
        PSB->setText(QStringLiteral("  Get more art packs from our web-site!"));
    }
    Preview->SetPicture(selection_.CurrentPicture());
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
    selection_.StepInPack(1);
}

void TPacksPage::PictureBackClick()
{
    selection_.StepInPack(-1);
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
    return selection_.SelectedPack();
}

bool TPacksPage::MorePacksSelected() const
{
    return selection_.Selected() == change::SelectionModel::Item::MorePacks;
}

const TPic* TPacksPage::CurrentRecord() const
{
    return selection_.CurrentRecord();
}

int TPacksPage::InstalledPackCount() const
{
    return PV->count() - 1;
}

const graphics::Picture& TPacksPage::PreviewPicture() const
{
    return Preview->Picture();
}

int TPacksPage::TotalPictureCount() const
{
    return selection_.TotalPictureCount();
}

int TPacksPage::CurrentPictureIndex() const
{
    return selection_.CurrentPictureIndex();
}

void TPacksPage::SelectPictureByIndex(int k)
{
    selection_.SelectPictureByIndex(k);
}

} // namespace ui
