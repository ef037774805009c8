#pragma once
// Keeps a museum pack fresh in the background: a timer asks museum::DecideRenewal
// when the subscription (settings/fresh_pack.h) is due; when it is, and the
// network is up and not metered, the pack is renewed on a worker thread
// (museum::RenewPack) and the record of the renewal is kept in the store. It never
// shows a window: a failure is a log line and the RenewalFinished signal. The
// packs folder's watcher lists the renewed pack by itself.
#include "museum/fetch.h"
#include "museum/freshness.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>

class QThread;

namespace platform { class Registry; }

namespace ui {

// What the keeper asks of the world, so tests give it a made-up clock, network
// and renewal.
struct FreshPackSeams {
    std::function<QDateTime()> now;                   // UTC
    std::function<museum::NetworkState()> network;    // asked only when a renewal is due
    // Runs on the worker thread.
    std::function<core::Result<museum::FetchedPack>(const museum::FetchRequest&, const std::atomic<bool>* cancel)> renew;
};

// The system's clock, QNetworkInformation's reachability and metered flag (unknown
// without a backend) and museum::RenewPack.
FreshPackSeams SystemFreshPackSeams();

// The network as QNetworkInformation reports it: Unknown when no backend loads or
// it cannot tell reachability; Online when it cannot tell whether it is metered.
museum::NetworkState SystemNetworkState();

class TFreshPackKeeper : public QObject {
    Q_OBJECT
public:
    // key: the store's key of the subscription (the product's key); packsFolder:
    // the user's packs folder, where the subscribed pack lies.
    TFreshPackKeeper(platform::Registry& store, QString key, QString packsFolder, FreshPackSeams seams,
                     QObject* parent = nullptr);
    // Cancels a renewal under way and waits for its thread; writes nothing.
    ~TFreshPackKeeper() override;

    // The first check comes after firstCheckMs, so a start at login is not slowed.
    void Start(int firstCheckMs = 2 * 60 * 1000);
    // Reads the subscription and decides now; a due renewal starts in the
    // background. Called by the timer, and when the subscription was changed.
    void Check();

    bool Renewing() const { return worker_ != nullptr; }
    // When the timer asks again (invalid: it does not); why, for the log and tests.
    const QDateTime& NextCheck() const { return nextCheck_; }
    const QString& Why() const { return why_; }

signals:
    // A renewal ended (not when cancelled): ok, and a sentence for a log line.
    void RenewalFinished(bool ok, const QString& text);

private:
    void Schedule(const QDateTime& when, const QDateTime& now);
    void Finished(core::Result<museum::FetchedPack> result, QDateTime started);

    platform::Registry& store_;
    QString key_;
    QString packsFolder_;
    FreshPackSeams seams_;
    QTimer timer_;
    QThread* worker_ = nullptr;
    std::atomic<bool> cancel_{false};
    QDateTime nextCheck_;
    QString why_;
};

// Starts a keeper for the window's store and the user's packs folder, owned by
// `owner`; it finds the subscription itself (none: it only looks again now and then).
TFreshPackKeeper* StartFreshPackKeeper(platform::Registry& store, QObject* owner);

} // namespace ui
