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
inline QString FormatRemoteAnswer(const core::Result<ChangeDone>& result)
{
    QString kind;
    QString text;
    if (result.ok() && !result->unset) {
        kind = QStringLiteral("done");
        text = result->description.isEmpty() ? QStringLiteral("no picture") : result->description;
    } else if (result.ok()) {
        kind = QStringLiteral("unset");
        text = QStringLiteral("no desktop took %1%2")
                   .arg(result->file, result->unsetReason.isEmpty() ? QString() : QStringLiteral(": ") + result->unsetReason);
    } else if (result.error().code == kChangeBusy) {
        kind = QStringLiteral("busy");
    } else {
        kind = QStringLiteral("failed");
        text = QString::fromStdString(result.error().text);
    }
    // The answer is one line: a problem text may hold line breaks and tabs.
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return kind + QLatin1Char('\t') + text;
}

// The result an answer line stands for; nothing for a line that is no answer (an
// older program, a cut connection). The text lands where a result of that kind
// keeps it: the description, the reason it is unset, or the error (whose code the
// line does not carry: kChangeFailed).
inline std::optional<core::Result<ChangeDone>> ParseRemoteAnswer(const QString& line)
{
    const qsizetype tab = line.indexOf(QLatin1Char('\t'));
    const QString kind = tab < 0 ? line : line.left(tab);
    const QString text = tab < 0 ? QString() : line.mid(tab + 1);
    ChangeDone done;
    if (kind == QLatin1String("done")) {
        done.description = text;
    } else if (kind == QLatin1String("unset")) {
        done.unset = true;
        done.unsetReason = text;
    } else if (kind == QLatin1String("failed")) {
        return core::Result<ChangeDone>(core::MakeError(kChangeFailed, text.toStdString()));
    } else if (kind == QLatin1String("busy")) {
        return core::Result<ChangeDone>(ChangeBusyError());
    } else {
        return std::nullopt;
    }
    return core::Result<ChangeDone>(std::move(done));
}

} // namespace change
