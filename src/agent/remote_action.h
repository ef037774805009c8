#pragma once
// The requests ambience-cli hands to the running desktop program over its
// single-instance socket, and the answers. One line each way:
//   "ping"                        -> "ok"   (is a program there to take requests?)
//   "action refresh|random|next|back" -> "<kind>\t<text>"
// kind is "done" (the wallpaper shows text), "unset" (the file was written but no
// desktop took it), "failed" (text says why) or "busy" (a composition runs).
// Header only: the CLI uses it without linking the agent.
#include <QString>
#include <QStringList>

#include <optional>

namespace agent {

inline const QString kPingRequest = QStringLiteral("ping");
inline const QString kPingAnswer = QStringLiteral("ok");

enum class RemoteAction { Refresh, Random, Next, Back };

inline QString RemoteActionName(RemoteAction action)
{
    switch (action) {
    case RemoteAction::Refresh: return QStringLiteral("refresh");
    case RemoteAction::Random: return QStringLiteral("random");
    case RemoteAction::Next: return QStringLiteral("next");
    case RemoteAction::Back: return QStringLiteral("back");
    }
    return {};
}

inline QString RemoteActionRequest(RemoteAction action)
{
    return QStringLiteral("action ") + RemoteActionName(action);
}

// The action a request asks for; nothing for any other line.
inline std::optional<RemoteAction> ParseRemoteActionRequest(const QString& line)
{
    for (RemoteAction action : {RemoteAction::Refresh, RemoteAction::Random, RemoteAction::Next, RemoteAction::Back})
        if (line == RemoteActionRequest(action))
            return action;
    return std::nullopt;
}

struct RemoteAnswer {
    enum class Kind { Done, Unset, Failed, Busy };
    Kind kind = Kind::Failed;
    QString text;
};

inline QString FormatRemoteAnswer(const RemoteAnswer& answer)
{
    static const char* const names[] = {"done", "unset", "failed", "busy"};
    QString text = answer.text;
    // The answer is one line: a problem text may hold line breaks and tabs.
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QString::fromLatin1(names[static_cast<int>(answer.kind)]) + QLatin1Char('\t') + text;
}

// Nothing for a line that is no answer (an older program, a cut connection).
inline std::optional<RemoteAnswer> ParseRemoteAnswer(const QString& line)
{
    const int tab = line.indexOf(QLatin1Char('\t'));
    const QString kind = tab < 0 ? line : line.left(tab);
    const QString text = tab < 0 ? QString() : line.mid(tab + 1);
    if (kind == QLatin1String("done"))
        return RemoteAnswer{RemoteAnswer::Kind::Done, text};
    if (kind == QLatin1String("unset"))
        return RemoteAnswer{RemoteAnswer::Kind::Unset, text};
    if (kind == QLatin1String("failed"))
        return RemoteAnswer{RemoteAnswer::Kind::Failed, text};
    if (kind == QLatin1String("busy"))
        return RemoteAnswer{RemoteAnswer::Kind::Busy, text};
    return std::nullopt;
}

} // namespace agent
