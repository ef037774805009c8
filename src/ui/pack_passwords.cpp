#include "ui/pack_passwords.h"

#include "archive/errors.h"
#include "change/selection_model.h"
#include "packs/load_picture.h"
#include "packs/pack.h"
#include "packs/pack_list.h"
#include "platform/secret_store.h"
#include "ui/main_window.h"

#include <QThread>

#include <memory>

namespace ui {

PackPasswords::PackPasswords(TAMMF& window, platform::SecretStore& secrets)
    : QObject(&window), window_(window), secrets_(secrets)
{
}

PackPasswords::~PackPasswords()
{
    for (QThread* worker : workers_) {
        worker->wait();
        delete worker;
    }
}

void PackPasswords::RunOff(std::function<void()> work, std::function<void()> done)
{
    if (secrets_.AnswersAtOnce()) {
        work();
        done();
        return;
    }
    QThread* worker = QThread::create(std::move(work));
    workers_.push_back(worker);
    connect(worker, &QThread::finished, this, [this, worker, done = std::move(done)] {
        std::erase(workers_, worker);
        worker->deleteLater();
        done();
    });
    worker->start();
}

void PackPasswords::Apply(TPackList& catalogue)
{
    for (int i = 0; i < catalogue.Count(); ++i) {
        TPack& pack = catalogue.PackAt(i);
        if (!pack.Encrypted)
            continue;
        if (const auto known = known_.find(pack.Path); known != known_.end())
            pack.PackPassword = known->second;
        else if (pack.PackPassword.empty() && !lookedUp_.count(pack.Path))
            LookUp(pack.Path);
    }
}

void PackPasswords::LookUp(const std::string& path)
{
    lookedUp_.insert(path);
    pending_.insert(path);
    auto answer = std::make_shared<std::optional<std::string>>();
    platform::SecretStore& secrets = secrets_;
    const std::string key = packs::PackPasswordKey(path);
    RunOff(
        [&secrets, key, answer] {
            // A keyring that cannot be reached is no password: the person is asked.
            auto read = secrets.Read(key);
            if (read.ok())
                *answer = *read;
        },
        [this, path, answer] { Found(path, *answer); });
}

void PackPasswords::Found(const std::string& path, const std::optional<std::string>& password)
{
    pending_.erase(path);
    if (password && !password->empty()) {
        known_[path] = *password;
        if (TPack* pack = PackOf(path))
            pack->PackPassword = *password;
        ShowAgain(path);
    } else if (IsShownLocked(path)) {
        Ask(path);
    }
}

void PackPasswords::Locked(const std::string& packPath)
{
    if (asking_ || declined_.count(packPath) || pending_.count(packPath))
        return;
    if (!lookedUp_.count(packPath))
        LookUp(packPath);
    else
        Ask(packPath);
}

bool PackPasswords::WillAnswer(const std::string& packPath) const
{
    return !declined_.count(packPath);
}

void PackPasswords::Ask(const std::string& path)
{
    TPack* pack = PackOf(path);
    if (!pack || asking_)
        return;
    // A password was known, and the picture still did not open: it is wrong.
    bool wrong = !pack->PackPassword.empty();
    const QString name = QString::fromStdString(pack->Name);
    asking_ = true;
    for (;;) {
        const std::optional<QString> answer = window_.UserDialogs().PackPassword(&window_, name, wrong);
        // The question's own loop may have rescanned the catalogue.
        pack = PackOf(path);
        if (!answer || !pack) {
            if (!answer)
                declined_.insert(path);
            break;
        }
        const std::string password = answer->toStdString();
        const int code = packs::CheckPackPassword(*pack, password, pack->Current);
        if (code == 0) {
            Opened(path, password);
            asking_ = false;
            ShowAgain(path);
            return;
        }
        if (code != archiva::ErrorWrongPassword) {
            // Not the password's fault: the file cannot be read at all.
            asking_ = false;
            window_.ReportPackError(code, QStringLiteral("File: %1").arg(QString::fromStdString(path)));
            return;
        }
        wrong = true;
    }
    asking_ = false;
}

void PackPasswords::Opened(const std::string& packPath, const std::string& password)
{
    if (password.empty())
        return;
    known_[packPath] = password;
    lookedUp_.insert(packPath);
    declined_.erase(packPath);
    if (TPack* pack = PackOf(packPath))
        pack->PackPassword = password;
    Keep(packPath, password);
}

void PackPasswords::Keep(const std::string& path, const std::string& password)
{
    auto problem = std::make_shared<std::string>();
    platform::SecretStore& secrets = secrets_;
    const std::string key = packs::PackPasswordKey(path);
    RunOff(
        [&secrets, key, password, problem] {
            if (auto written = secrets.Write(key, password); !written.ok())
                *problem = written.error().text;
        },
        [this, problem] {
            // Once a run: the keyring that refused one password refuses the next.
            if (problem->empty() || keepProblemTold_)
                return;
            keepProblemTold_ = true;
            window_.ReportProblem(QStringLiteral("The pack's password opens its pictures until Ambience ends, but it "
                                                 "could not be kept for the next time. %1.")
                                      .arg(QString::fromStdString(*problem)));
        });
}

TPack* PackPasswords::PackOf(const std::string& path)
{
    const int index = packs::FindPackByPath(window_.Catalogue(), path);
    return index >= 0 ? &window_.Catalogue().PackAt(index) : nullptr;
}

bool PackPasswords::IsShownLocked(const std::string& path)
{
    const TPack* selected = window_.Selection().SelectedPack();
    return selected && selected->Path == path && window_.Selection().CurrentLocked();
}

void PackPasswords::ShowAgain(const std::string& path)
{
    // Only a pack shown without its picture is loaded again; while a change runs
    // the selection belongs to it.
    if (window_.IsBusy() || !IsShownLocked(path))
        return;
    window_.Selection().SelectPack(window_.Selection().SelectedPackIndex());
}

} // namespace ui
