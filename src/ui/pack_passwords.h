#pragma once
// The window's side of encrypted packs: which password opens which pack in this
// run, looking each pack up once in the secret store, asking the person once
// (again only after a wrong answer) and keeping a password that opened its pack.
//
// The store may have to wait for the desktop's keyring; then it is asked on a
// worker thread, and the answer comes back to the window's thread as an event.
// Nothing here waits on the window's thread.
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QThread;
class TPackList;
struct TPack;
namespace platform { class SecretStore; }

namespace ui {

class TAMMF;

class PackPasswords final : public QObject {
    Q_OBJECT
public:
    // window and secrets must outlive this object.
    PackPasswords(TAMMF& window, platform::SecretStore& secrets);
    // Waits for the store's answers still under way (they touch nothing but it).
    ~PackPasswords() override;

    // The catalogue was scanned again: each encrypted pack gets the password known
    // for it in this run; the store is asked for those it was not asked for yet.
    void Apply(TPackList& catalogue);
    // The selected pack's current picture cannot be read for want of its password:
    // waits for the store's answer, or asks the person, unless they cancelled the
    // question for this pack before in this run.
    void Locked(const std::string& packPath);
    // Whether Locked for that pack will still bring an answer or a question.
    bool WillAnswer(const std::string& packPath) const;
    // A password that opened the pack: used from now on in this run and kept in
    // the store.
    void Opened(const std::string& packPath, const std::string& password);

private:
    void LookUp(const std::string& path);
    void Found(const std::string& path, const std::optional<std::string>& password);
    void Ask(const std::string& path);
    void Keep(const std::string& path, const std::string& password);
    // The catalogue's record of that pack (records are replaced by a rescan).
    TPack* PackOf(const std::string& path);
    bool IsShownLocked(const std::string& path);
    void ShowAgain(const std::string& path);
    // Runs work on a thread of its own, then done on the window's thread.
    void RunOff(std::function<void()> work, std::function<void()> done);

    TAMMF& window_;
    platform::SecretStore& secrets_;
    std::map<std::string, std::string> known_;
    std::set<std::string> lookedUp_; // asked of the store (or being asked)
    std::set<std::string> pending_;  // the store's answer not yet here
    std::set<std::string> declined_; // the person cancelled the question
    bool asking_ = false;
    bool keepProblemTold_ = false;
    std::vector<QThread*> workers_;
};

} // namespace ui
