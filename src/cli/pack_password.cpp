#include "cli/pack_password.h"

#include "archive/errors.h"
#include "packs/load_picture.h"
#include "packs/pack.h"
#include "platform/secret_store.h"

#include <QFileInfo>

#include <cstdio>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace cli {
namespace {

// Tries on the terminal before giving up.
constexpr int kTerminalTries = 3;

QString Named(const TPack& pack)
{
    return QStringLiteral("\"%1\" (%2)").arg(QString::fromStdString(pack.Name),
                                            QFileInfo(QString::fromStdString(pack.Path)).fileName());
}

} // namespace

PackPasswordSource::PackPasswordSource(std::optional<QString> given, platform::SecretStore* secrets,
                                       bool askOnTerminal)
    : given_(std::move(given)), secrets_(secrets), askOnTerminal_(askOnTerminal)
{
}

bool PackPasswordSource::Try(TPack& pack, int index, const std::string& password)
{
    if (password.empty() || packs::CheckPackPassword(pack, password, index) != 0)
        return false;
    pack.PackPassword = password;
    return true;
}

bool PackPasswordSource::Unlock(TPack& pack, int index, QString& why)
{
    if (const auto refused = refusals_.find(pack.Path); refused != refusals_.end()) {
        why = refused->second;
        return false;
    }
    auto refuse = [&](const QString& text) {
        refused_ = true;
        refusals_[pack.Path] = text;
        why = text;
        return false;
    };
    if (given_ && Try(pack, index, given_->toStdString())) {
        Keep(pack);
        return true;
    }
    if (secrets_) {
        const auto stored = secrets_->Read(packs::PackPasswordKey(pack.Path));
        if (stored.ok() && stored->has_value() && Try(pack, index, **stored))
            return true;
    }
    if (given_)
        return refuse(QStringLiteral("the password given with --password does not open the pack %1").arg(Named(pack)));
    if (askOnTerminal_) {
        if (const auto typed = AskOnTerminal(pack, index)) {
            pack.PackPassword = *typed;
            Keep(pack);
            return true;
        }
        return refuse(QStringLiteral("the pack %1 stays shut: no password that opens it was given").arg(Named(pack)));
    }
    return refuse(QStringLiteral("the pack %1 is encrypted: give its password with --password, or run the command "
                                 "on a terminal to be asked for it")
                      .arg(Named(pack)));
}

std::optional<std::string> PackPasswordSource::AskOnTerminal(const TPack& pack, int index)
{
    for (int attempt = 0; attempt < kTerminalTries; ++attempt) {
        std::fprintf(stderr, "Password for the pack %s: ", Named(pack).toUtf8().constData());
        std::fflush(stderr);
        const std::optional<std::string> line = ReadHiddenLine();
        std::fputs("\n", stderr);
        if (!line || line->empty())
            return std::nullopt;
        if (packs::CheckPackPassword(pack, *line, index) == 0)
            return line;
        std::fputs("That password does not open the pack.\n", stderr);
    }
    return std::nullopt;
}

void PackPasswordSource::Keep(const TPack& pack)
{
    // Without a store the password serves this run only; that is no failure.
    if (secrets_)
        (void)secrets_->Write(packs::PackPasswordKey(pack.Path), pack.PackPassword);
}

std::optional<std::string> ReadHiddenLine()
{
    termios saved {};
    const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet); // keeps what was typed ahead
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (terminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    if (!read)
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace cli
