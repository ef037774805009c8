#include "platform/keychain_secret_store.h"

#include <QThread>
#include <qt6keychain/keychain.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>

namespace platform {
namespace {

// Codes of the system where one fits (see core/result.h).
constexpr int kAccessDenied = 5;
constexpr int kNotSupported = 50;
constexpr int kTimeout = 1460;
constexpr int kOther = 1;

struct Answer {
    QKeychain::Error error = QKeychain::OtherError;
    QString errorText;
    QString text; // a read's secret
    bool timedOut = false;
};

// The one thread QtKeychain's jobs run on. Started on first use and left running
// until the process ends: QtKeychain keeps its job queue on the thread that
// started the first job, so a second thread would never see its jobs finish.
QThread& KeychainThread()
{
    static QThread* thread = [] {
        auto* t = new QThread;
        t->setObjectName(QStringLiteral("keychain"));
        t->start();
        return t;
    }();
    return *thread;
}

// Makes the job on the keychain thread, starts it there and waits for its answer.
Answer RunJob(const std::function<QKeychain::Job*()>& make, int timeoutMs)
{
    QThread& thread = KeychainThread();
    if (QThread::currentThread() == &thread)
        return {QKeychain::OtherError, QStringLiteral("it was asked from its own thread"), {}, false};
    auto promise = std::make_shared<std::promise<Answer>>();
    std::future<Answer> future = promise->get_future();
    // A context object on that thread: the lambda runs there, the job is made there.
    auto* context = new QObject;
    context->moveToThread(&thread);
    QMetaObject::invokeMethod(context, [make, promise, context] {
        QKeychain::Job* job = make();
        job->setAutoDelete(true);
        QObject::connect(job, &QKeychain::Job::finished, context, [promise, context](QKeychain::Job* done) {
            Answer answer{done->error(), done->errorString(), {}};
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
                answer.text = read->textData();
            promise->set_value(std::move(answer));
            context->deleteLater();
        });
        job->start();
    }, Qt::QueuedConnection);
    if (future.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
        return {QKeychain::OtherError, QStringLiteral("it did not answer within %1 seconds").arg(timeoutMs / 1000), {},
                true};
    return future.get();
}

core::Error ErrorOf(const Answer& answer, const char* doing)
{
    int code = kOther;
    switch (answer.error) {
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser: code = kAccessDenied; break;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented: code = kNotSupported; break;
    default: break;
    }
    if (answer.timedOut)
        code = kTimeout;
    std::string text = std::string("The desktop's keyring could not ") + doing;
    if (!answer.errorText.isEmpty())
        text += ": " + answer.errorText.toStdString();
    return core::MakeError(code, std::move(text));
}

} // namespace

KeychainSecretStore::KeychainSecretStore(QString service, int timeoutMs)
    : service_(std::move(service)), timeoutMs_(timeoutMs)
{
}

core::Result<std::optional<std::string>> KeychainSecretStore::Read(const std::string& key)
{
    const QString service = service_;
    const QString name = QString::fromStdString(key);
    const Answer answer = RunJob(
        [service, name]() -> QKeychain::Job* {
            auto* job = new QKeychain::ReadPasswordJob(service);
            job->setKey(name);
            return job;
        },
        timeoutMs_);
    if (answer.error == QKeychain::EntryNotFound)
        return std::optional<std::string>();
    if (answer.error != QKeychain::NoError)
        return ErrorOf(answer, "be read");
    return std::optional<std::string>(answer.text.toStdString());
}

core::Result<void> KeychainSecretStore::Write(const std::string& key, const std::string& secret)
{
    const QString service = service_;
    const QString name = QString::fromStdString(key);
    const QString text = QString::fromStdString(secret);
    const Answer answer = RunJob(
        [service, name, text]() -> QKeychain::Job* {
            auto* job = new QKeychain::WritePasswordJob(service);
            job->setKey(name);
            job->setTextData(text);
            return job;
        },
        timeoutMs_);
    if (answer.error != QKeychain::NoError)
        return ErrorOf(answer, "keep the password");
    return core::Ok();
}

core::Result<void> KeychainSecretStore::Forget(const std::string& key)
{
    const QString service = service_;
    const QString name = QString::fromStdString(key);
    const Answer answer = RunJob(
        [service, name]() -> QKeychain::Job* {
            auto* job = new QKeychain::DeletePasswordJob(service);
            job->setKey(name);
            return job;
        },
        timeoutMs_);
    if (answer.error != QKeychain::NoError && answer.error != QKeychain::EntryNotFound)
        return ErrorOf(answer, "forget the password");
    return core::Ok();
}

} // namespace platform
