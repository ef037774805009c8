#include "ui/fresh_pack_keeper.h"

#include "archive/errors.h"
#include "core/product.h"
#include "packs/pack_folders.h"
#include "settings/fresh_pack.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkInformation>
#include <QThread>

#include <algorithm>

namespace ui {
namespace {

Q_LOGGING_CATEGORY(lcFresh, "ambience.freshpack")

// Without a subscription, or with one that cannot be read, the store is read again
// this often: ambience-cli may have turned it on meanwhile.
constexpr qint64 kIdleRecheckSeconds = 6 * 60 * 60;
// The timer never sleeps longer than this: after a suspended night the clock has
// moved on, and a due renewal should not wait for a timer started before it.
constexpr qint64 kLongestSleepMs = 60 * 60 * 1000;

} // namespace

museum::NetworkState SystemNetworkState()
{
    QNetworkInformation* info = QNetworkInformation::instance();
    if (!info && QNetworkInformation::loadDefaultBackend())
        info = QNetworkInformation::instance();
    // Reachability unknown (no backend, or one that cannot tell): Unknown, which
    // DecideRenewal takes for up.
    if (!info || !info->supports(QNetworkInformation::Feature::Reachability))
        return museum::NetworkState::Unknown;
    switch (info->reachability()) {
    case QNetworkInformation::Reachability::Unknown:
        return museum::NetworkState::Unknown;
    case QNetworkInformation::Reachability::Disconnected:
    case QNetworkInformation::Reachability::Local:
    case QNetworkInformation::Reachability::Site: // the local network only, not the museums
        return museum::NetworkState::Offline;
    case QNetworkInformation::Reachability::Online:
        break;
    }
    // Metered unknown (a backend without the feature) counts as not metered.
    if (info->supports(QNetworkInformation::Feature::Metered) && info->isMetered())
        return museum::NetworkState::Metered;
    return museum::NetworkState::Online;
}

FreshPackSeams SystemFreshPackSeams()
{
    FreshPackSeams seams;
    seams.now = [] { return QDateTime::currentDateTimeUtc(); };
    seams.network = SystemNetworkState;
    seams.renew = [](const museum::FetchRequest& request, const std::atomic<bool>* cancel) {
        return museum::RenewPack(request, {}, cancel);
    };
    return seams;
}

TFreshPackKeeper::TFreshPackKeeper(platform::Registry& store, QString key, QString packsFolder, FreshPackSeams seams,
                                   QObject* parent)
    : QObject(parent), store_(store), key_(std::move(key)), packsFolder_(std::move(packsFolder)), seams_(std::move(seams))
{
    setObjectName(QStringLiteral("FreshPackKeeper"));
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TFreshPackKeeper::Check);
}

TFreshPackKeeper::~TFreshPackKeeper()
{
    cancel_ = true;
    if (worker_) {
        worker_->wait();
        delete worker_;
    }
}

void TFreshPackKeeper::Start(int firstCheckMs)
{
    timer_.start(std::max(0, firstCheckMs));
}

void TFreshPackKeeper::Schedule(const QDateTime& when, const QDateTime& now)
{
    nextCheck_ = when;
    const qint64 ms = std::clamp<qint64>(now.msecsTo(when), 1000, kLongestSleepMs);
    timer_.start(static_cast<int>(ms));
}

void TFreshPackKeeper::Check()
{
    if (worker_)
        return; // one renewal at a time; its end decides again
    const QDateTime now = seams_.now();
    const core::Result<std::optional<settings::FreshPack>> loaded = settings::LoadFreshPack(store_, key_);
    if (!loaded || !*loaded) {
        why_ = loaded ? QStringLiteral("keeping a museum pack fresh is off")
                      : QStringLiteral("the subscription %1 is not understood: %2")
                            .arg(QLatin1String(settings::kFreshPackValue), QString::fromStdString(loaded.error().text));
        if (!loaded)
            qCWarning(lcFresh).noquote() << why_;
        Schedule(now.addSecs(kIdleRecheckSeconds), now);
        return;
    }
    const settings::FreshPack& fresh = **loaded;
    const std::optional<museum::Source> source = museum::SourceFromCode(fresh.museum);
    if (!source) {
        why_ = QStringLiteral("there is no museum \"%1\" to keep a pack fresh from").arg(fresh.museum);
        qCWarning(lcFresh).noquote() << why_;
        Schedule(now.addSecs(kIdleRecheckSeconds), now);
        return;
    }
    museum::FreshSubscription subscription;
    subscription.enabled = true;
    subscription.source = *source;
    subscription.theme = fresh.theme;
    subscription.count = fresh.count;
    subscription.everyDays = fresh.everyDays;
    const settings::FreshPackRecord record = settings::LoadFreshPackRecord(store_, key_);
    // The network is asked only once the pack is due: loading its backend is not free.
    museum::FreshDecision decision =
        museum::DecideRenewal(subscription, record.renewed, record.tried, now, museum::NetworkState::Online);
    if (decision.fetchNow)
        decision = museum::DecideRenewal(subscription, record.renewed, record.tried, now, seams_.network());
    why_ = decision.why;
    if (!decision.fetchNow) {
        Schedule(decision.nextCheck, now);
        return;
    }

    const QString output = QDir(packsFolder_).filePath(fresh.pack);
    if (!QFileInfo(output).isFile()) {
        // Removed by its owner: nothing is fetched; putting it back is enough to go on.
        Finished(core::MakeError(archiva::ErrorFileNotFound,
                                 QStringLiteral("the pack %1 is not there to be renewed").arg(output).toStdString()),
                 now);
        return;
    }
    museum::FetchRequest request;
    request.source = *source;
    request.query = fresh.theme;
    request.count = fresh.count;
    request.output = output;
    request.now = now;
    qCInfo(lcFresh).noquote() << QStringLiteral("renewing %1 (%2)").arg(output, why_);
    timer_.stop();
    nextCheck_ = QDateTime();
    cancel_ = false;
    worker_ = QThread::create([this, request, renew = seams_.renew, now] {
        core::Result<museum::FetchedPack> result = renew(request, &cancel_);
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result), now]() mutable { Finished(std::move(result), now); },
            Qt::QueuedConnection);
    });
    worker_->start(QThread::LowestPriority);
}

void TFreshPackKeeper::Finished(core::Result<museum::FetchedPack> result, QDateTime started)
{
    if (worker_) {
        worker_->wait();
        delete worker_;
        worker_ = nullptr;
    }
    if (!result.ok() && result.error().code == archiva::ErrorCancelled)
        return;
    settings::FreshPackRecord record = settings::LoadFreshPackRecord(store_, key_);
    QString text;
    if (result.ok()) {
        record.renewed = started;
        record.tried = QDateTime();
        text = QStringLiteral("%1 renewed: %2 work(s) now, %3 new").arg(result->archive).arg(result->works).arg(result->downloaded + result->fromCache);
        qCInfo(lcFresh).noquote() << text;
    } else {
        record.tried = started;
        text = QStringLiteral("keeping a museum pack fresh failed: %1").arg(QString::fromStdString(result.error().text));
        qCWarning(lcFresh).noquote() << text;
    }
    const core::Result<void> saved = settings::SaveFreshPackRecord(store_, key_, record);
    emit RenewalFinished(result.ok(), text);
    if (!saved) {
        // Without a record every check would find the pack due again: wait instead.
        why_ = QStringLiteral("the renewal record cannot be kept: %1").arg(QString::fromStdString(saved.error().text));
        qCWarning(lcFresh).noquote() << why_;
        const QDateTime now = seams_.now();
        Schedule(now.addSecs(kIdleRecheckSeconds), now);
        return;
    }
    Check();
}

TFreshPackKeeper* StartFreshPackKeeper(platform::Registry& store, QObject* owner)
{
    auto* keeper = new TFreshPackKeeper(store, ProductNames().RegistryRoot,
                                        QString::fromStdString(packs::CurrentPackFolders().User), SystemFreshPackSeams(), owner);
    keeper->Start();
    return keeper;
}

} // namespace ui
