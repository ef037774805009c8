#include "ui/options_page.h"

#include "museum/museums.h"
#include "platform/notification_area.h"
#include "platform/monitors.h"
#include "settings/fresh_pack.h"
#include "settings/option_fields.h"
#include "settings/options.h"
#include "ui/page_style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <exception>

namespace ui {

QStringList IntervalItems()
{
    return {QStringLiteral("1"),  QStringLiteral("2"),  QStringLiteral("3"),  QStringLiteral("4"),
            QStringLiteral("5"),  QStringLiteral("6"),  QStringLiteral("9"),  QStringLiteral("12"),
            QStringLiteral("18"), QStringLiteral("24"), QStringLiteral("36"), QStringLiteral("48"),
            QStringLiteral("72"), QStringLiteral("96")};
}

int IntervalItemHours(const QString& text)
{
    bool ok = false;
    const int hours = text.trimmed().toInt(&ok);
    return ok ? hours : 12;
}

int IntervalItemIndex(const QStringList& items, int hours)
{
    for (int i = 0; i < items.size(); ++i)
        if (IntervalItemHours(items[i]) >= hours)
            return i;
    return static_cast<int>(items.size()) - 1;
}

namespace {

// The settings the page edits, kept so a failed Apply can be taken back whole.
struct PageSettings {
    bool autoChangeEnabled;
    std::int32_t autoChangeInterval, autoChangeIcon, backgroundType, pictureOrientation, pictureSize,
        colorInfluence, colorLightness, colorSaturation, monitorMode;
    bool favouritesOnly, notifyAutomaticChange;
};

PageSettings Take(const TOptions& o)
{
    return {o.AutoChangeEnabled, o.AutoChangeInterval, o.AutoChangeIcon,  o.BackgroundType,  o.PictureOrientation,
            o.PictureSize,       o.ColorInfluence,     o.ColorLightness,  o.ColorSaturation, o.MonitorMode,
            o.FavouritesOnly,    o.NotifyAutomaticChange};
}

void Restore(TOptions& o, const PageSettings& s)
{
    o.AutoChangeEnabled = s.autoChangeEnabled;
    o.AutoChangeInterval = s.autoChangeInterval;
    o.AutoChangeIcon = s.autoChangeIcon;
    o.BackgroundType = s.backgroundType;
    o.PictureOrientation = s.pictureOrientation;
    o.PictureSize = s.pictureSize;
    o.ColorInfluence = s.colorInfluence;
    o.ColorLightness = s.colorLightness;
    o.ColorSaturation = s.colorSaturation;
    o.MonitorMode = s.monitorMode;
    o.FavouritesOnly = s.favouritesOnly;
    o.NotifyAutomaticChange = s.notifyAutomaticChange;
}

// The texts of a setting's values, from the one settings table.
QStringList ItemsOf(const char* setting)
{
    return FindOptionField(QLatin1String(setting))->items;
}

QComboBox* List(QWidget* parent, const char* name, const QStringList& items)
{
    auto* list = Named(new QComboBox(parent), name);
    list->setEditable(false);
    list->addItems(items);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

int Scaled(int design, double scale)
{
    return static_cast<int>(design * scale);
}

// Width at the design size times scale, or what the control's text needs.
int WidthFor(const QWidget* widget, int designWidth, double scale)
{
    return std::max(Scaled(designWidth, scale), widget->sizeHint().width());
}

int HeightFor(const QWidget* widget, int designHeight, double scale)
{
    return std::max(Scaled(designHeight, scale), widget->sizeHint().height());
}

} // namespace

TOptionsPage::TOptionsPage(TOptions& options, QWidget* parent) : QWidget(parent), options_(options)
{
    setObjectName(QStringLiteral("OS"));
    OSB = Named(new QScrollArea(this), "OSB");
    OSB->setFrameShape(QFrame::NoFrame);
    OSB->setFocusPolicy(Qt::NoFocus); // a container, not a stop of its own
    OSB->setWidgetResizable(false);
    OSB->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Only for a font so large that the row would not fit: nothing may be cut off.
    OSB->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    OSB->verticalScrollBar()->setTracking(true);
    box_ = new QWidget;
    box_->setObjectName(QStringLiteral("OSBContent"));
    OSB->setWidget(box_);
    OSB->viewport()->setAutoFillBackground(false);
    box_->setAutoFillBackground(false);

    CreateControls(box_);
    OAB = Button(this, "OAB", QStringLiteral("&Apply"));
    OCB = Button(this, "OCB", QStringLiteral("&Cancel"));

    QWidget* order[] = {ACC, ACH, ACI, PCB, PCO, PCS, MMC, CCIE, CCIN, CCIR, CCLC, CCSC, GCF, GCN, FPC, OAB, OCB};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    ConnectChanges();
    connect(OAB, &QPushButton::clicked, this, &TOptionsPage::OABClick);
    connect(OCB, &QPushButton::clicked, this, &TOptionsPage::OCBClick);

    // Qt updates its list of screens after telling of a removal: count on the next turn.
    for (auto signal : {&QGuiApplication::screenAdded, &QGuiApplication::screenRemoved})
        connect(qGuiApp, signal, this, [this] { QTimer::singleShot(0, this, &TOptionsPage::MonitorsChanged); });

    // Until the window lays the page out with its own scale: the design size grown
    // with this font (the design font is 13 pixels high).
    LayOut(std::max(1.0, QFontMetrics(font()).height() / 13.0));
    ShowApplyButtons(false);
}

void TOptionsPage::CreateControls(QWidget* box)
{
    ACL = HeaderLabel(box, "ACL", QStringLiteral("  Enable the Ambience\u2122 technology"), Qt::AlignLeft);
    ACC = Named(new QCheckBox(QStringLiteral("Automatically change my desktop"), box), "ACC");
    ACIL = Named(new QLabel(QStringLiteral("every"), box), "ACIL");
    ACH = List(box, "ACH", IntervalItems());
    ACIL2 = Named(new QLabel(QStringLiteral("hour with"), box), "ACIL2");
    ACI = List(box, "ACI", ItemsOf("AutoChangeIcon"));
    ACIL3 = Named(new QLabel(box), "ACIL3");
    ShowNotificationArea(false);

    PCL = HeaderLabel(box, "PCL", QStringLiteral("  Set up the composition"), Qt::AlignLeft);
    PCBL = Named(new QLabel(QStringLiteral("Background"), box), "PCBL");
    PCOL = Named(new QLabel(QStringLiteral("Picture"), box), "PCOL");
    PCSL = Named(new QLabel(QStringLiteral("Picture size"), box), "PCSL");
    PCB = List(box, "PCB", ItemsOf("BackgroundType"));
    PCO = List(box, "PCO", ItemsOf("PictureOrientation"));
    PCS = List(box, "PCS", ItemsOf("PictureSize"));

    CCL = HeaderLabel(box, "CCL", QStringLiteral("  Choose colors by influence"), Qt::AlignLeft);
    CCLL = Named(new QLabel(QStringLiteral("Lightness"), box), "CCLL");
    CCSL = Named(new QLabel(QStringLiteral("Saturation"), box), "CCSL");
    const QStringList influences = FindOptionField(QStringLiteral("ColorInfluence"))->bits;
    CCIE = Named(new QCheckBox(influences[0], box), "CCIE");
    CCIN = Named(new QCheckBox(influences[1], box), "CCIN");
    CCIR = Named(new QCheckBox(influences[2], box), "CCIR");
    CCLC = List(box, "CCLC", ItemsOf("ColorLightness"));
    CCSC = List(box, "CCSC", ItemsOf("ColorSaturation"));

    // A fourth column of the composition, shown only with several monitors
    // (OptionsChange): how the exposition is spread over them.
    MML = Named(new QLabel(QStringLiteral("Monitors"), box), "MML");
    MMC = List(box, "MMC", ItemsOf("MonitorMode"));

    GCF = Named(new QCheckBox(QStringLiteral("Favourites only"), box), "GCF");
    GCF->setToolTip(QStringLiteral("Random and the automatic change show only pictures you marked as favourites"));
    GCN = Named(new QCheckBox(QStringLiteral("Notify me of automatic changes"), box), "GCN");
    GCN->setToolTip(QStringLiteral("A desktop notification names each picture the automatic change puts up"));

    // After every specified item: the museum pack kept fresh, if any (LoadFreshPack).
    FPC = Named(new QCheckBox(box), "FPC");
    FPC->hide();
}

void TOptionsPage::FollowNotificationArea(const platform::NotificationAreaWatch& area)
{
    connect(&area, &platform::NotificationAreaWatch::PresenceChanged, this, &TOptionsPage::ShowNotificationArea);
    ShowNotificationArea(area.IsPresent());
}

void TOptionsPage::ShowNotificationArea(bool present)
{
    // A desktop without a notification area cannot show the icon: said, not offered.
    ACI->setEnabled(present);
    ACIL3->setText(present ? QStringLiteral("in the notification area")
                           : QStringLiteral("\u2014 this desktop cannot show the icon"));
    // The sentence's last piece is as long as its words (laid out once the
    // page's controls are all made).
    if (OAB)
        LayOutBox(scale_);
}

void TOptionsPage::SetFreshPackStore(platform::Registry* store, QString key)
{
    freshStore_ = store;
    freshKey_ = std::move(key);
}

void TOptionsPage::LoadFreshPack()
{
    std::optional<settings::FreshPack> fresh;
    if (freshStore_)
        if (const core::Result<std::optional<settings::FreshPack>> loaded = settings::LoadFreshPack(*freshStore_, freshKey_))
            fresh = *loaded;
    if (!fresh) {
        FPC->hide();
        return;
    }
    const std::optional<museum::Source> source = museum::SourceFromCode(fresh->museum);
    const QString name = source ? QString::fromLatin1(museum::Info(*source).name) : fresh->museum;
    freshMuseum_ = source && name.startsWith(QLatin1String("The ")) ? QStringLiteral("the ") + museum::ShortName(*source) : name;
    freshPackName_ = QFileInfo(fresh->pack).completeBaseName();
    FPC->setToolTip(QStringLiteral("Every %1 day(s) new works of \u201c%2\u201d come into %3, the oldest leave; uncheck "
                                   "and apply to stop")
                        .arg(fresh->everyDays)
                        .arg(fresh->theme, fresh->pack));
    FPC->setChecked(true);
    FPC->show();
}

void TOptionsPage::FitFreshPackCaption(int width)
{
    auto caption = [this](const QString& name) {
        return QStringLiteral("Keep \u201c%1\u201d fresh from %2").arg(name, freshMuseum_);
    };
    FPC->setText(caption(freshPackName_));
    const int over = FPC->sizeHint().width() - width;
    if (over > 0) {
        const QFontMetrics metrics(FPC->font());
        FPC->setText(caption(metrics.elidedText(freshPackName_, Qt::ElideMiddle,
                                                std::max(0, metrics.horizontalAdvance(freshPackName_) - over))));
    }
}

bool TOptionsPage::ApplyFreshPack()
{
    if (!freshStore_ || FPC->isHidden() || FPC->isChecked())
        return true;
    if (const core::Result<void> stopped = settings::SaveFreshPack(*freshStore_, freshKey_, std::nullopt); !stopped) {
        if (reportProblem_)
            reportProblem_(QStringLiteral("The pack could not stop being kept fresh: %1.")
                               .arg(QString::fromStdString(stopped.error().text)));
        return false;
    }
    FPC->hide();
    LayOutBox(scale_);
    emit FreshPackStopped();
    return true;
}

void TOptionsPage::ConnectChanges()
{
    // toggled and currentIndexChanged also fire for changes made by the program
    // (loading, the forced "Neutral"); OptionsChange tells those apart by loading_.
    for (QCheckBox* box : {ACC, CCIE, CCIN, CCIR, GCF, GCN, FPC})
        connect(box, &QCheckBox::toggled, this, [this, box] { OptionsChange(box); });
    for (QComboBox* list : {ACH, ACI, PCB, PCO, PCS, CCLC, CCSC, MMC})
        connect(list, &QComboBox::currentIndexChanged, this, [this, list] { OptionsChange(list); });
}

std::vector<QWidget*> TOptionsPage::ColourGroup() const
{
    return {CCL, CCLL, CCSL, CCIE, CCIN, CCIR, CCLC, CCSC};
}

void TOptionsPage::LayOut(double scale)
{
    scale_ = scale;
    LayOutBox(scale);
}

namespace {

struct SentencePiece {
    QWidget* widget;
    int left, width; // at the design size
};

} // namespace

int TOptionsPage::SentenceRight(double s) const
{
    const int gap = std::max(3, Scaled(5, s));
    int right = 0;
    for (const SentencePiece& p : {SentencePiece{ACC, 0, 180}, SentencePiece{ACIL, 181, 0}, SentencePiece{ACH, 215, 49},
                                   SentencePiece{ACIL2, 270, 0}, SentencePiece{ACI, 322, 89},
                                   SentencePiece{ACIL3, 418, 0}})
        right = (p.widget == ACC ? 0 : std::max(Scaled(p.left, s), right + gap)) + WidthFor(p.widget, p.width, s);
    return right;
}

double TOptionsPage::OneLineScale(double scale) const
{
    // The places grow with the scale, the texts do not: the room gained per step
    // shrinks, so step in at least one percent.
    for (int step = 0; step < 200 && SentenceRight(scale) > Scaled(561, scale); ++step)
        scale = std::max(scale * 1.01, double(SentenceRight(scale) + 1) / 561);
    return scale;
}

void TOptionsPage::LayOutBox(double s)
{
    auto S = [s](int v) { return Scaled(v, s); };
    const int gap = std::max(3, S(5));
    const int headerHeight = std::max(S(14), QFontMetrics(ACL->font()).height() + 2);
    const int comboHeight = HeightFor(ACH, 21, s);

    // The first row reads as one sentence: each piece sits at its design place or,
    // when the one before it needed more room, right after it. A piece that would
    // run past the box's width goes on a line of its own below, under "every", so
    // that a large font never cuts the sentence off.
    const int margin = S(8);
    int available = S(561);
    if (width() > 2 * margin)
        available = std::min(available, width() - 2 * margin);
    const int rowTop = std::max(S(23), headerHeight + S(4));
    int lineTop = rowTop;
    int right = 0;
    int indent = 0;
    for (const SentencePiece& p : {SentencePiece{ACC, 0, 180}, SentencePiece{ACIL, 181, 0},
                                   SentencePiece{ACH, 215, 49}, SentencePiece{ACIL2, 270, 0},
                                   SentencePiece{ACI, 322, 89}, SentencePiece{ACIL3, 418, 0}}) {
        const int width = WidthFor(p.widget, p.width, s);
        int left = p.widget == ACC ? 0 : std::max(S(p.left), right + gap);
        if (p.widget != ACC && p.widget != ACIL && left + width > available) {
            lineTop += comboHeight + S(2);
            left = indent;
        }
        const int h = qobject_cast<QComboBox*>(p.widget) ? comboHeight : p.widget->sizeHint().height();
        p.widget->setGeometry(left, lineTop + (comboHeight - h) / 2, width, h);
        right = left + width;
        if (p.widget == ACIL)
            indent = left;
    }
    // The gallery's switches on a line of their own under the sentence: they
    // decide what the automatic change (and Random) puts up, and tell of it.
    const int gTop = lineTop + comboHeight + S(3);
    const int gHeight = std::max(HeightFor(GCF, 17, s), HeightFor(GCN, 17, s));
    GCF->setGeometry(0, gTop, WidthFor(GCF, 180, s), gHeight);
    GCN->setGeometry(std::max(Scaled(215, s), GCF->geometry().right() + 1 + gap), gTop, WidthFor(GCN, 200, s), gHeight);
    const int rowBottom = gTop + gHeight;

    // Three columns below: background, picture (and lightness), size (and saturation).
    const int column0 = std::max({WidthFor(PCBL, 89, s), WidthFor(PCB, 89, s), WidthFor(CCIE, 89, s),
                                  WidthFor(CCIN, 85, s), WidthFor(CCIR, 85, s)});
    const int left1 = std::max(S(96), column0 + S(7));
    const int column1 =
        std::max({WidthFor(PCOL, 97, s), WidthFor(PCO, 97, s), WidthFor(CCLL, 81, s), WidthFor(CCLC, 97, s)});
    const int left2 = std::max(S(200), left1 + column1 + S(7));
    const int column2 =
        std::max({WidthFor(PCSL, 97, s), WidthFor(PCS, 85, s), WidthFor(CCSL, 97, s), WidthFor(CCSC, 85, s)});
    const int left3 = std::max(S(304), left2 + column2 + S(7));
    const int column3 = std::max(WidthFor(MML, 97, s), WidthFor(MMC, 150, s));
    const int contentWidth = std::max({S(561), right, left2 + column2, MML->isHidden() ? 0 : left3 + column3,
                                       GCN->geometry().right() + 1});

    auto place = [](QWidget* w, int left, int top, int width, int height) { w->setGeometry(left, top, width, height); };
    auto label = [&](QLabel* l, int left, int top, int designWidth) {
        place(l, left, top, WidthFor(l, designWidth, s), l->sizeHint().height());
    };
    auto combo = [&](QComboBox* c, int left, int top, int designWidth) {
        place(c, left, top, WidthFor(c, designWidth, s), comboHeight);
    };

    place(ACL, 0, 0, contentWidth, headerHeight);

    // Rows below keep their design places, moved down together by whatever the
    // rows above needed beyond their design height, and never closer than a gap.
    int shift = 0;
    auto rowTopAt = [&](int designTop, int notBefore) {
        const int top = std::max(S(designTop) + shift, notBefore);
        shift = top - S(designTop);
        return top;
    };
    const int pclTop = rowTopAt(54, rowBottom + S(8));
    place(PCL, 0, pclTop, contentWidth, headerHeight);
    const int pLabelTop = rowTopAt(74, pclTop + headerHeight + S(4));
    label(PCBL, 0, pLabelTop, 89);
    label(PCOL, left1, pLabelTop, 97);
    label(PCSL, left2, pLabelTop, 97);
    const int pListTop = rowTopAt(94, pLabelTop + PCBL->height() + S(4));
    combo(PCB, 0, pListTop, 89);
    combo(PCO, left1, pListTop, 97);
    combo(PCS, left2, pListTop, 85);
    label(MML, left3, pLabelTop, 97);
    combo(MMC, left3, pListTop, 150);

    const int cclTop = rowTopAt(126, pListTop + comboHeight + S(8));
    place(CCL, 0, cclTop, contentWidth, headerHeight);
    const int groupShift = shift;
    const int cLabelTop = rowTopAt(146, cclTop + headerHeight + S(4));
    label(CCLL, left1, cLabelTop, 81);
    label(CCSL, left2, cLabelTop, 97);
    const int cListTop = rowTopAt(166, cLabelTop + CCLL->height() + S(4));
    combo(CCLC, left1, cListTop, 97);
    combo(CCSC, left2, cListTop, 85);
    // The check boxes form their own column beside the lists.
    int boxTop = std::max(S(150) + groupShift, cclTop + headerHeight + S(6));
    const std::pair<QCheckBox*, int> boxes[] = {{CCIE, 89}, {CCIN, 85}, {CCIR, 85}};
    const int designTops[] = {150, 172, 194};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        QCheckBox* b = boxes[i].first;
        boxTop = std::max(S(designTops[i]) + groupShift, boxTop);
        const int h = HeightFor(b, 17, s);
        place(b, 0, boxTop, WidthFor(b, boxes[i].second, s), h);
        boxTop += h + S(2);
    }
    int contentHeight = std::max(CCIR->geometry().bottom(), CCLC->geometry().bottom()) + 1 + S(4);
    // The pack kept fresh on a line of its own under the last row shown.
    if (!FPC->isHidden()) {
        const int lastRow = CCL->isHidden() ? PCB->geometry().bottom() : std::max(CCIR->geometry().bottom(), CCLC->geometry().bottom());
        FitFreshPackCaption(available);
        place(FPC, 0, lastRow + 1 + S(6), WidthFor(FPC, 0, s), HeightFor(FPC, 17, s));
        contentHeight = std::max(contentHeight, FPC->geometry().bottom() + 1 + S(4));
    }
    box_->resize(contentWidth, contentHeight);

    // The scroll box and the two buttons on the page.
    int boxWidth = std::max(S(561), contentWidth);
    if (width() > 2 * margin)
        boxWidth = std::min(boxWidth, width() - 2 * margin);
    OSB->setGeometry(margin, margin, boxWidth, S(265));

    const int buttonHeight = HeightFor(OAB, 25, s);
    const int cancelWidth = WidthFor(OCB, 73, s);
    const int applyWidth = WidthFor(OAB, 73, s);
    const int buttonsRight = std::max(S(569), margin + boxWidth);
    const int buttonTop = std::max(S(280), margin + S(265) + S(7));
    OCB->setGeometry(buttonsRight - cancelWidth, buttonTop, cancelWidth, buttonHeight);
    OAB->setGeometry(OCB->x() - S(7) - applyWidth, buttonTop, applyWidth, buttonHeight);
}

void TOptionsPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOutBox(scale_);
}

void TOptionsPage::LoadOptionsPage()
{
    loading_ = true;
    unoffered_.clear();
    Select(PCB, options_.BackgroundType);
    Select(PCO, options_.PictureOrientation);
    Select(PCS, options_.PictureSize);
    Select(CCLC, options_.ColorLightness);
    Select(CCSC, options_.ColorSaturation);
    namespace Influence = settings::ColorInfluence;
    CCIE->setChecked((options_.ColorInfluence & Influence::Energetic) != 0);
    CCIN->setChecked((options_.ColorInfluence & Influence::Neutral) != 0);
    CCIR->setChecked((options_.ColorInfluence & Influence::Relaxing) != 0);
    ACC->setChecked(options_.AutoChangeEnabled);
    QStringList items;
    for (int i = 0; i < ACH->count(); ++i)
        items << ACH->itemText(i);
    ACH->setCurrentIndex(IntervalItemIndex(items, options_.AutoChangeInterval));
    Select(ACI, options_.AutoChangeIcon);
    GCF->setChecked(options_.FavouritesOnly);
    GCN->setChecked(options_.NotifyAutomaticChange);
    monitors_ = CountMonitors();
    // A mode never chosen shows as the one in force.
    Select(MMC, settings::EffectiveMonitorMode(options_.MonitorMode, monitors_));
    LoadFreshPack();
    LayOutBox(scale_);
    OptionsChange(nullptr);
    loading_ = false;
    ShowApplyButtons(false);
}

int TOptionsPage::CountMonitors() const
{
    return monitorCount_ ? monitorCount_() : int(platform::DesktopMonitors().size());
}

void TOptionsPage::MonitorsChanged()
{
    const int count = CountMonitors();
    if (count == monitors_)
        return;
    monitors_ = count;
    // The list shows the mode in force for the new count, unless the user picked one.
    loading_ = !edited_;
    if (!edited_)
        Select(MMC, settings::EffectiveMonitorMode(options_.MonitorMode, monitors_));
    OptionsChange(nullptr);
    loading_ = false;
}

void TOptionsPage::Select(QComboBox* list, int index)
{
    // A value the list does not offer (a hand edit of the store, or the composer's
    // "random" lightness) shows as no item and is kept until the user picks one.
    if (index < 0 || index >= list->count())
        unoffered_[list] = index;
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

int TOptionsPage::ItemIndex(const QComboBox* list) const
{
    const auto kept = unoffered_.find(list);
    return kept != unoffered_.end() ? kept->second : list->currentIndex();
}

void TOptionsPage::OptionsChange(QObject* sender)
{
    // While loading, the boxes change one by one and may pass through "none
    // checked" on the way to the stored set: the rules below run once at the end.
    if (loading_ && sender)
        return;
    // The last influence cannot be taken away: "Neutral" comes back at once.
    if (!CCIE->isChecked() && !CCIN->isChecked() && !CCIR->isChecked())
        CCIN->setChecked(true);
    const bool automatic = ACC->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(ACH), static_cast<QWidget*>(ACI), static_cast<QWidget*>(ACIL),
                       static_cast<QWidget*>(ACIL2), static_cast<QWidget*>(ACIL3)})
        w->setVisible(automatic);
    // The colours matter only for the backgrounds drawn from them.
    const bool colours = PCB->currentIndex() >= 2;
    const bool layoutChanges = CCL->isHidden() == colours || MML->isHidden() == (monitors_ > 1);
    for (QWidget* w : ColourGroup())
        w->setVisible(colours);
    MML->setVisible(monitors_ > 1);
    MMC->setVisible(monitors_ > 1);
    if (layoutChanges)
        LayOutBox(scale_);
    if (sender && !loading_) {
        unoffered_.erase(qobject_cast<const QComboBox*>(sender));
        ShowApplyButtons(true);
    }
}

void TOptionsPage::ShowApplyButtons(bool show)
{
    edited_ = show;
    OAB->setVisible(show);
    OCB->setVisible(show);
}

void TOptionsPage::ApplyOptionsPage()
{
    options_.BackgroundType = ItemIndex(PCB);
    options_.PictureOrientation = ItemIndex(PCO);
    options_.PictureSize = ItemIndex(PCS);
    options_.ColorLightness = ItemIndex(CCLC);
    options_.ColorSaturation = ItemIndex(CCSC);
    // Hidden check boxes count as they stand.
    namespace Influence = settings::ColorInfluence;
    options_.ColorInfluence = (CCIE->isChecked() ? Influence::Energetic : 0) + (CCIN->isChecked() ? Influence::Neutral : 0)
                              + (CCIR->isChecked() ? Influence::Relaxing : 0);
    options_.AutoChangeEnabled = ACC->isChecked();
    options_.AutoChangeInterval = IntervalItemHours(ACH->currentText());
    options_.AutoChangeIcon = ItemIndex(ACI);
    options_.FavouritesOnly = GCF->isChecked();
    options_.NotifyAutomaticChange = GCN->isChecked();
    // Left as never chosen unless the user picked another than the one in force.
    if (ItemIndex(MMC) != settings::EffectiveMonitorMode(options_.MonitorMode, monitors_))
        options_.MonitorMode = ItemIndex(MMC);
    if (updateIcon_)
        updateIcon_();
    ShowApplyButtons(false);
}

void TOptionsPage::OABClick()
{
    const PageSettings before = Take(options_);
    ApplyOptionsPage();
    try {
        options_.Save();
    } catch (const std::exception& error) {
        // Apply is all or nothing: the settings go back to what is stored, the
        // edits stay on the page with the buttons, so the user may try again or
        // cancel, and the page stays in front with the message.
        Restore(options_, before);
        if (updateIcon_)
            updateIcon_();
        ShowApplyButtons(true);
        if (reportProblem_)
            reportProblem_(QStringLiteral("The settings could not be saved: %1.\n"
                                          "Your changes are still on the Options page.")
                               .arg(QString::fromUtf8(error.what())));
        return;
    }
    if (!ApplyFreshPack()) {
        ShowApplyButtons(true);
        return;
    }
    emit SwitchToPage(0);
}

void TOptionsPage::OCBClick()
{
    LoadOptionsPage();
    emit SwitchToPage(0);
}

} // namespace ui
