#pragma once
// Where ambience-cli finds the password of an encrypted pack it is to show: the
// one given with --password, the one kept in the desktop's secret store, or one
// typed on the terminal (without echo). A password that opens the pack and was
// not already in the store is kept there; a store that cannot be reached is
// passed over without a word.
#include <QString>

#include <map>
#include <optional>
#include <string>

struct TPack;
namespace platform { class SecretStore; }

namespace cli {

class PackPasswordSource {
public:
    // given: --password; secrets: null when there is no store to ask.
    // askOnTerminal: whether a person may be asked (stdin is a terminal).
    PackPasswordSource(std::optional<QString> given, platform::SecretStore* secrets, bool askOnTerminal);

    // change::CatalogueSelection::Unlock: sets pack.PackPassword to a password
    // that opens picture `index`, or says why there is none. Each pack is tried
    // once a run.
    bool Unlock(TPack& pack, int index, QString& why);
    // A pack could not be opened for want of a password the command line can give
    // (missing, or the given one wrong).
    bool Refused() const { return refused_; }

private:
    bool Try(TPack& pack, int index, const std::string& password);
    std::optional<std::string> AskOnTerminal(const TPack& pack, int index);
    void Keep(const TPack& pack);

    std::optional<QString> given_;
    platform::SecretStore* secrets_;
    bool askOnTerminal_;
    bool refused_ = false;
    std::map<std::string, QString> refusals_; // pack path: why it stays shut
};

// Reads a line from the terminal on stdin with its echo turned off; nullopt at
// the end of input.
std::optional<std::string> ReadHiddenLine();

} // namespace cli
