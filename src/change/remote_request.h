#pragma once
// The requests ambience-cli hands to the running desktop program over its
// single-instance socket, and the answers. One line each way:
//   "ping"                        -> "ok"   (is a program there to take requests?)
//   "action refresh|random|next|back" -> "<kind>\t<text>"
//   "show\t<pack file>\t<entry>"      -> "<kind>\t<text>"  (that picture again)
// kind is "done" (the wallpaper shows text), "unset" (the file was written but no
// desktop took it), "failed" (text says why) or "busy" (a composition runs).
// Header only.
#include "change/desktop_change.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace change {

inline const QString kPingRequest = QStringLiteral("ping");
inline const QString kPingAnswer = QStringLiteral("ok");

inline QString RemoteActionName(PictureStep action)
{
    switch (action) {
    case PictureStep::Current: return QStringLiteral("refresh");
    case PictureStep::Random: return QStringLiteral("random");
    case PictureStep::Next: return QStringLiteral("next");
    case PictureStep::Back: return QStringLiteral("back");
    }
    return {};
}

inline QString RemoteActionRequest(PictureStep action)
{
    return QStringLiteral("action ") + RemoteActionName(action);
}

// The action a request asks for; nothing for any other line.
inline std::optional<PictureStep> ParseRemoteActionRequest(const QString& line)
{
    for (PictureStep action : {PictureStep::Current, PictureStep::Random, PictureStep::Next, PictureStep::Back})
        if (line == RemoteActionRequest(action))
            return action;
    return std::nullopt;
}

inline QString RemoteShowRequest(const gallery::PictureKey& picture)
{
    return QStringLiteral("show\t") + picture.packFile + QLatin1Char('\t') + picture.entry;
}

// The picture a show request names; nothing for any other line. Pack file names
// and entry names hold no tab or line break.
inline std::optional<gallery::PictureKey> ParseRemoteShowRequest(const QString& line)
{
    const QStringList parts = line.split(QLatin1Char('\t'));
    if (parts.size() != 3 || parts[0] != QLatin1String("show") || parts[1].isEmpty() || parts[2].isEmpty())
        return std::nullopt;
    return gallery::PictureKey{parts[1], parts[2]};
}

// The answer line for the result of a change: the description of what the
// wallpaper shows when done, why not when unset or failed.
inline QString FormatRemoteAnswer(const ChangeResult& result)
{
    using Status = ChangeResult::Status;
    QString kind;
    QString text;
    switch (result.status) {
    case Status::Done:
        kind = QStringLiteral("done");
        text = result.description.isEmpty() ? QStringLiteral("no picture") : result.description;
        break;
    case Status::Unset:
        kind = QStringLiteral("unset");
        text = QStringLiteral("no desktop took %1%2")
                   .arg(result.file, result.wallpaperDetail.isEmpty() ? QString() : QStringLiteral(": ") + result.wallpaperDetail);
        break;
    case Status::Busy:
        kind = QStringLiteral("busy");
        break;
    case Status::Failed:
    case Status::BadRequest:
        kind = QStringLiteral("failed");
        text = result.problem;
        break;
    }
    // The answer is one line: a problem text may hold line breaks and tabs.
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return kind + QLatin1Char('\t') + text;
}

// The result an answer line stands for; nothing for a line that is no answer (an
// older program, a cut connection). The text lands where a result of that status
// keeps it: description, wallpaperDetail or problem.
inline std::optional<ChangeResult> ParseRemoteAnswer(const QString& line)
{
    using Status = ChangeResult::Status;
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    const QString kind = tab < 0 ? line : line.left(tab);
    const QString text = tab < 0 ? QString() : line.mid(tab + 1);
    ChangeResult result;
    if (kind == QLatin1String("done")) {
        result.status = Status::Done;
        result.description = text;
    } else if (kind == QLatin1String("unset")) {
        result.status = Status::Unset;
        result.wallpaperDetail = text;
    } else if (kind == QLatin1String("failed")) {
        result.status = Status::Failed;
        result.problem = text;
    } else if (kind == QLatin1String("busy")) {
        result.status = Status::Busy;
    } else {
        return std::nullopt;
    }
    return result;
}

} // namespace change
