#include "ui/history_window.h"

#include "agent/picture_line.h"
#include "ui/history_model.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

namespace {

// The thumbnails in the list: the record's are about 320 pixels on the longer side.
constexpr QSize kThumbnail(120, 80);
// How often an open window looks whether another program changed the wall.
constexpr int kFollowMs = 2000;

QAction* MakeAction(QWidget* owner, const char* name, const QString& caption, QList<QKeySequence> keys)
{
    auto* action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    // Anywhere in this window, nowhere else.
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    owner->addAction(action);
    return action;
}

QPushButton* MakeButton(QWidget* owner, const char* name, QAction* action)
{
    auto* button = new QPushButton(action->text(), owner);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    if (!action->shortcut().isEmpty())
        button->setToolTip(QStringLiteral("%1 (%2)").arg(QString(action->text()).remove(QLatin1Char('&')),
                                                          action->shortcut().toString(QKeySequence::NativeText)));
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] {
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
        button->setText(action->text());
    });
    return button;
}

QString MonitorCaption(const QString& monitor)
{
    return monitor.isEmpty() ? QStringLiteral("The screen") : monitor;
}

} // namespace

THistoryWindow::THistoryWindow(HistoryActions actions, QWidget* parent)
    : QWidget(parent, Qt::Window), actions_(std::move(actions))
{
    setObjectName(QStringLiteral("History"));
    setWindowTitle(QStringLiteral("History"));

    model_ = new HistoryModel(this);
    model_->SetThumbnailSize(kThumbnail);
    follow_ = new QTimer(this);
    follow_->setInterval(kFollowMs);
    connect(follow_, &QTimer::timeout, this, &THistoryWindow::FollowRecord);

    MonitorFilter = new QComboBox(this);
    MonitorFilter->setObjectName(QStringLiteral("HistoryMonitor"));
    auto* monitorLabel = new QLabel(QStringLiteral("&Monitor:"), this);
    monitorLabel->setBuddy(MonitorFilter);

    List = new QListView(this);
    List->setObjectName(QStringLiteral("HistoryList"));
    List->setModel(model_);
    List->setViewMode(QListView::ListMode);
    List->setIconSize(kThumbnail);
    // Every row the same height: the view measures one row, not a thousand
    // (which would read every thumbnail), and lays out only what it shows.
    List->setUniformItemSizes(true);
    List->setLayoutMode(QListView::Batched);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setAlternatingRowColors(true);
    List->setSpacing(2);
    List->setContextMenuPolicy(Qt::CustomContextMenu);

    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("HistoryStatus"));
    Status->setWordWrap(true);

    ShowAgainAction = MakeAction(this, "HistoryShowAgainAction", QStringLiteral("&Show again"),
                                 {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    FavouriteAction = MakeAction(this, "HistoryFavouriteAction", QStringLiteral("&Favourite"),
                                 {QKeySequence(Qt::CTRL | Qt::Key_D)});
    FavouriteAction->setCheckable(true);
    BanAction = MakeAction(this, "HistoryBanAction", QStringLiteral("&Never show again"), {QKeySequence::Delete});
    BanAction->setCheckable(true);
    OpenPageAction = MakeAction(this, "HistoryOpenPageAction", QStringLiteral("&Open the museum's page"),
                                {QKeySequence(Qt::CTRL | Qt::Key_O)});
    AboutAction = MakeAction(this, "HistoryAboutAction", QStringLiteral("&About this picture..."),
                             {QKeySequence(Qt::CTRL | Qt::Key_I)});
    ExportAction = MakeAction(this, "HistoryExportAction", QStringLiteral("&Export..."),
                              {QKeySequence(Qt::CTRL | Qt::Key_E)});
    auto* close = MakeAction(this, "HistoryCloseAction", QStringLiteral("Close"), {QKeySequence::Cancel});
    connect(close, &QAction::triggered, this, &QWidget::close);

    connect(ShowAgainAction, &QAction::triggered, this, &THistoryWindow::ShowAgainCurrent);
    connect(FavouriteAction, &QAction::triggered, this, &THistoryWindow::ToggleFavouriteCurrent);
    connect(BanAction, &QAction::triggered, this, &THistoryWindow::ToggleBannedCurrent);
    connect(OpenPageAction, &QAction::triggered, this, &THistoryWindow::OpenPageCurrent);
    connect(AboutAction, &QAction::triggered, this, &THistoryWindow::AboutCurrent);
    connect(ExportAction, &QAction::triggered, this, &THistoryWindow::ExportCurrent);

    ShowAgainButton = MakeButton(this, "HistoryShowAgain", ShowAgainAction);
    FavouriteButton = MakeButton(this, "HistoryFavourite", FavouriteAction);
    BanButton = MakeButton(this, "HistoryBan", BanAction);
    OpenPageButton = MakeButton(this, "HistoryOpenPage", OpenPageAction);
    AboutButton = MakeButton(this, "HistoryAbout", AboutAction);
    ExportButton = MakeButton(this, "HistoryExport", ExportAction);
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(monitorLabel);
    filterRow->addWidget(MonitorFilter, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {ShowAgainButton, FavouriteButton, BanButton, OpenPageButton, AboutButton, ExportButton})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(List, 1);
    layout->addWidget(Status);
    layout->addLayout(buttons);

    connect(List->selectionModel(), &QItemSelectionModel::currentChanged, this, &THistoryWindow::CurrentChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &THistoryWindow::CurrentChanged);
    connect(model_, &QAbstractItemModel::dataChanged, this, &THistoryWindow::CurrentChanged);
    connect(List, &QListView::doubleClicked, this, &THistoryWindow::ShowAgainCurrent);
    connect(List, &QWidget::customContextMenuRequested, this, &THistoryWindow::ShowContextMenu);
    connect(MonitorFilter, &QComboBox::currentIndexChanged, this, &THistoryWindow::FilterChanged);

    resize(720, 560);
    Tell({});
    CurrentChanged();
}

void THistoryWindow::FollowRecord()
{
    if (!actions_.othersVersion)
        return;
    const qint64 version = actions_.othersVersion();
    if (version == othersVersion_)
        return;
    othersVersion_ = version;
    Reload();
}

void THistoryWindow::showEvent(QShowEvent* event)
{
    if (actions_.othersVersion) {
        othersVersion_ = actions_.othersVersion();
        follow_->start();
    }
    QWidget::showEvent(event);
}

void THistoryWindow::hideEvent(QHideEvent* event)
{
    follow_->stop();
    QWidget::hideEvent(event);
}

void THistoryWindow::Reload()
{
    const std::optional<gallery::WallEntry> current = Current();
    core::Result<std::vector<gallery::WallEntry>> rows =
        actions_.load ? actions_.load() : core::Result<std::vector<gallery::WallEntry>>(core::MakeError(2, "no record"));
    if (!rows) {
        model_->SetEntries({});
        Tell(QStringLiteral("The history cannot be read: %1").arg(QString::fromStdString(rows.error().text)));
        loadSaid_ = true;
        FillMonitorFilter();
        return;
    }
    model_->SetEntries(std::move(*rows));
    FillMonitorFilter();
    SelectEntry(current ? current->id : 0);
    // What an action said ("Showing again: ...") stays over the reload its change brings.
    if (model_->rowCount() == 0) {
        Tell(QStringLiteral("Nothing was shown on the desktop yet."));
        loadSaid_ = true;
    } else if (loadSaid_) {
        Tell({});
        loadSaid_ = false;
    }
}

void THistoryWindow::FillMonitorFilter()
{
    const QString chosen = MonitorFilter->currentData().toString();
    const bool wasOne = MonitorFilter->currentIndex() > 0;
    const QSignalBlocker quiet(MonitorFilter);
    MonitorFilter->clear();
    MonitorFilter->addItem(QStringLiteral("All monitors"));
    for (const QString& monitor : model_->Monitors())
        MonitorFilter->addItem(MonitorCaption(monitor), monitor);
    const int again = wasOne ? MonitorFilter->findData(chosen) : -1;
    MonitorFilter->setCurrentIndex(again > 0 ? again : 0);
    // With one monitor there is nothing to choose.
    MonitorFilter->setEnabled(MonitorFilter->count() > 2);
    model_->SetMonitorFilter(again > 0 ? std::optional<QString>(chosen) : std::nullopt);
}

void THistoryWindow::FilterChanged()
{
    const std::optional<gallery::WallEntry> current = Current();
    const int at = MonitorFilter->currentIndex();
    model_->SetMonitorFilter(at > 0 ? std::optional<QString>(MonitorFilter->itemData(at).toString()) : std::nullopt);
    SelectEntry(current ? current->id : 0);
}

void THistoryWindow::SelectEntry(qint64 id)
{
    int row = 0;
    for (int r = 0; r < model_->rowCount(); ++r)
        if (model_->EntryAt(r).id == id) {
            row = r;
            break;
        }
    if (model_->rowCount() > 0) {
        const QModelIndex index = model_->index(row);
        List->setCurrentIndex(index);
        List->scrollTo(index);
    }
    CurrentChanged();
}

std::optional<gallery::WallEntry> THistoryWindow::Current() const
{
    const QModelIndex index = List->currentIndex();
    if (!index.isValid() || index.row() >= model_->rowCount())
        return std::nullopt;
    return model_->EntryAt(index.row());
}

void THistoryWindow::CurrentChanged()
{
    const std::optional<gallery::WallEntry> entry = Current();
    const bool art = entry && !entry->Key().empty();
    ShowAgainAction->setEnabled(art);
    FavouriteAction->setEnabled(art);
    BanAction->setEnabled(art);
    AboutAction->setEnabled(entry.has_value());
    ExportAction->setEnabled(art);
    OpenPageAction->setEnabled(entry && !entry->source.page.isEmpty());
    FavouriteAction->setChecked(entry && entry->favourite);
    BanAction->setChecked(entry && entry->banned);
    BanAction->setText(entry && entry->banned ? QStringLiteral("Allow &again") : QStringLiteral("&Never show again"));
    FavouriteAction->setText(entry && entry->favourite ? QStringLiteral("Un&favourite") : QStringLiteral("&Favourite"));
}

void THistoryWindow::MarksChanged(const gallery::PictureKey& picture, bool favourite, bool banned)
{
    model_->SetMarks(picture, favourite, banned);
}

void THistoryWindow::Tell(const QString& text)
{
    Status->setText(text);
    Status->setVisible(!text.isEmpty());
}

void THistoryWindow::ShowAgainCurrent()
{
    const std::optional<gallery::WallEntry> entry = Current();
    if (!entry || entry->Key().empty() || !actions_.showAgain)
        return;
    if (actions_.showAgain(*entry))
        Tell(QStringLiteral("Showing again: %1").arg(agent::PictureLine(*entry)));
    else
        Tell(QStringLiteral("Another change of the desktop is running; try again when it has ended."));
}

void THistoryWindow::ToggleFavouriteCurrent()
{
    const std::optional<gallery::WallEntry> entry = Current();
    if (!entry || entry->Key().empty() || !actions_.setFavourite)
        return;
    const bool on = !entry->favourite;
    if (const core::Result<void> marked = actions_.setFavourite(entry->Key(), on); !marked) {
        Tell(QStringLiteral("The mark could not be kept: %1").arg(QString::fromStdString(marked.error().text)));
        CurrentChanged();
        return;
    }
    model_->SetMarks(entry->Key(), on, entry->banned);
}

void THistoryWindow::ToggleBannedCurrent()
{
    const std::optional<gallery::WallEntry> entry = Current();
    if (!entry || entry->Key().empty() || !actions_.setBanned)
        return;
    const bool on = !entry->banned;
    if (const core::Result<void> marked = actions_.setBanned(entry->Key(), on); !marked) {
        Tell(QStringLiteral("The mark could not be kept: %1").arg(QString::fromStdString(marked.error().text)));
        CurrentChanged();
        return;
    }
    model_->SetMarks(entry->Key(), entry->favourite, on);
}

void THistoryWindow::OpenPageCurrent()
{
    const std::optional<gallery::WallEntry> entry = Current();
    if (!entry || entry->source.page.isEmpty() || !actions_.openAddress)
        return;
    if (!actions_.openAddress(entry->source.page))
        Tell(QStringLiteral("No program could be started to open %1.").arg(entry->source.page));
}

void THistoryWindow::AboutCurrent()
{
    if (const std::optional<gallery::WallEntry> entry = Current(); entry && actions_.about)
        actions_.about(*entry);
}

void THistoryWindow::ExportCurrent()
{
    if (const std::optional<gallery::WallEntry> entry = Current(); entry && !entry->Key().empty() && actions_.exportPicture)
        actions_.exportPicture(*entry);
}

void THistoryWindow::ShowContextMenu(const QPoint& at)
{
    if (!Current())
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(ShowAgainAction);
    menu->addSeparator();
    menu->addAction(FavouriteAction);
    menu->addAction(BanAction);
    menu->addSeparator();
    menu->addAction(OpenPageAction);
    menu->addAction(AboutAction);
    menu->addAction(ExportAction);
    menu->setDefaultAction(ShowAgainAction);
    // From the menu key the point is the view's own choice; the current row is the place.
    QPoint place = at;
    if (const QRect row = List->visualRect(List->currentIndex()); row.isValid() && !row.contains(at))
        place = row.center();
    menu->popup(List->viewport()->mapToGlobal(place));
}

} // namespace ui
