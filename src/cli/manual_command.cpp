// ambience-cli __manual ambience|ambience-cli: the manual page of either program in
// roff, made at build time from the command table, the settings table and the
// desktop program's argument list, so that it says what the help says.
#include "cli/command.h"
#include "cli/completion.h"
#include "cli/exit_code.h"
#include "cli/output.h"
#include "cli/pack_support.h"

#include "core/program_info.h"
#include "settings/option_fields.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace {

// Plain text for roff: backslashes and minus signs escaped, and a line that
// would begin with a control character guarded.
QString Roff(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\e")).replace(QLatin1Char('-'), QLatin1String("\\-"));
    text.replace(QRegularExpression(QStringLiteral("\\n([.'])")), QStringLiteral("\n\\&\\1"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QLatin1String("\\&"));
    return text;
}

// A usage line with options and literal words in bold and placeholders in italics.
QString RoffUsage(const QString& usage)
{
    static const QRegularExpression word(QStringLiteral("(--?[a-z][a-z-]*|[A-Za-z][A-Za-z0-9_=]*)"));
    QString out;
    qsizetype at = 0;
    for (auto it = word.globalMatch(usage); it.hasNext();) {
        const auto match = it.next();
        out += Roff(usage.mid(at, match.capturedStart() - at));
        const QString w = match.captured();
        const bool literal = w.startsWith(QLatin1Char('-')) || w.at(0).isLower();
        out += (literal ? QLatin1String("\\fB") : QLatin1String("\\fI")) + Roff(w) + QLatin1String("\\fR");
        at = match.capturedEnd();
    }
    return out + Roff(usage.mid(at));
}

QString Header(const char* name, const char* summary)
{
    // Left-aligned and unhyphenated: the usage lines are long runs of options.
    return QStringLiteral(".TH %1 1 \"\" \"%2\" \"User Commands\"\n.nh\n.ad l\n.SH NAME\n%3 \\- %4\n")
        .arg(QString::fromLatin1(name).toUpper(), Roff(core::VersionLine()), Roff(QLatin1String(name)),
             Roff(QLatin1String(summary)));
}

const char* const kFiles =
    ".SH FILES\n"
    ".TP\n.I ~/.config/Ambience/registry.reg\nThe settings (under \\fB$XDG_CONFIG_HOME\\fR when set).\n"
    ".TP\n.I ~/.local/share/Ambience/Ambience/ambience.bmp\nThe wallpaper file (under \\fB$XDG_DATA_HOME\\fR when "
    "set).\n"
    ".TP\n.I ~/.local/share/Ambience/Packs/\nThe user's own packs (under \\fB$XDG_DATA_HOME\\fR when set); one "
    "of the same file name as a bundled pack takes its place.\n"
    ".TP\n.I /usr/lib/ambience/\nThe programs, the bundled packs and the help pages (\\fIsite/\\fR).\n"
    ".TP\n.I ~/.config/autostart/ambience.desktop\nStarts the desktop program with the session while automatic "
    "changing is on.\n";

QString CliManual()
{
    QString page = Header("ambience-cli", "compose art wallpapers and manage art packs without a window");
    page += QStringLiteral(".SH SYNOPSIS\n.B ambience-cli\n.I command\n.RI [ arguments ]\n.br\n"
                           ".B ambience-cli\n.BR \\-\\-version \" | \" \\-\\-help\n");
    page += QStringLiteral(
        ".SH DESCRIPTION\n"
        "\\fBambience-cli\\fR does the work of the desktop program \\fBambience\\fR(1) without a window, for "
        "scripts, key bindings, timers and machines without a display. It composes an exposition as large as the "
        "screen (a colour gradient, a work of art from an installed art pack, framed, with captions), sets it as "
        "the wallpaper or saves it as a file, and browses, checks, installs and removes art packs.\n.PP\n"
        "While the desktop program runs, \\fBrefresh\\fR, \\fBrandom\\fR, \\fBnext\\fR and \\fBback\\fR without "
        "options ask it to do the change, so that its window and its count stay in step; \\fB\\-\\-local\\fR "
        "composes in this process instead.\n");
    page += QStringLiteral(".SH COMMANDS\n");
    std::vector<cli::Command> commands = cli::Commands();
    std::sort(commands.begin(), commands.end(),
              [](const cli::Command& a, const cli::Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const cli::Command& c : commands) {
        if (!cli::Listed(c))
            continue;
        page += QStringLiteral(".TP\n\\fB%1\\fR %2\n%3\n")
                    .arg(Roff(QLatin1String(c.name)), RoffUsage(QString::fromUtf8(c.usage)),
                         Roff(QString::fromUtf8(c.summary)));
    }
    page += QStringLiteral(".TP\n\\fBhelp\\fR [\\fICOMMAND\\fR], \\fB\\-\\-help\\fR\nLists the commands, or shows the "
                           "help of one; \\fICOMMAND\\fR \\fB\\-\\-help\\fR does the same.\n"
                           ".TP\n\\fB\\-\\-version\\fR\nPrints the version.\n");
    page += QStringLiteral(
        ".SH SETTINGS\n"
        "\\fBoptions\\fR \\fINAME\\fR=\\fIVALUE\\fR changes a setting for good; the options \\fB\\-\\-background\\fR, "
        "\\fB\\-\\-orientation\\fR, \\fB\\-\\-size\\-class\\fR, \\fB\\-\\-influence\\fR, \\fB\\-\\-lightness\\fR and "
        "\\fB\\-\\-saturation\\fR of the exposition commands change one for a single run. Names are taken in any "
        "letter case; a value is given by its number or its name.\n");
    std::vector<const OptionField*> settable;
    for (const auto* fields : {&OptionFields(), &DesktopFields()})
        for (const OptionField& field : *fields)
            settable.push_back(&field);
    for (const OptionField* each : settable) {
        const OptionField& field = *each;
        if (!field.Settable())
            continue;
        QStringList values;
        for (const cli::Candidate& value : cli::SettingValues(field))
            values << (value.description.isEmpty() ? value.text
                                                   : QStringLiteral("%1 (%2)").arg(value.text, value.description));
        page += QStringLiteral(".TP\n.B %1\n%2\n").arg(Roff(QLatin1String(field.name)), Roff(values.join(QStringLiteral(", "))));
    }
    page += QStringLiteral(".SH EXIT STATUS\nEvery command ends with one of these.\n");
    for (const cli::ExitCodeMeaning& status : cli::ExitCodes)
        page += QStringLiteral(".TP\n.B %1\n%2\n").arg(static_cast<int>(status.code)).arg(Roff(QLatin1String(status.meaning)));
    page += QStringLiteral(
        ".SH ENVIRONMENT\n"
        ".TP\n.BR DISPLAY \", \" WAYLAND_DISPLAY\nThe display whose desktop gets the wallpaper; without one that "
        "answers, the work is done offscreen and only the file is written.\n"
        ".TP\n.B XDG_CURRENT_DESKTOP\nWhich desktop's own interface sets the wallpaper.\n"
        ".TP\n.BR XDG_CONFIG_HOME \", \" XDG_DATA_HOME\nWhere the settings, the wallpaper file and the user's packs live.\n");
    page += QLatin1String(kFiles);
    page += QStringLiteral(".SH SEE ALSO\n.BR ambience (1)\n");
    return page;
}

QString WindowManual()
{
    QString page = Header("ambience", "turn the desktop into an art gallery");
    page += QStringLiteral(".SH SYNOPSIS\n.B ambience\n.RB [ /startup \" | \" /install ]\n.br\n"
                           ".B ambience\n.BR \\-\\-version \" | \" \\-\\-help\n");
    page += QStringLiteral(
        ".SH DESCRIPTION\n"
        "\\fBambience\\fR composes expositions as large as the screen (a generated colour gradient, a work of art "
        "from an installed art pack, framed, with captions and the word mark) and sets them as the wallpaper, on "
        "request or by itself every few hours. It lives in the notification area; its window has the pages "
        "Packs, Options and About. One instance runs per user: a second start shows the first one's window "
        "and ends.\n.PP\n"
        "It needs a display. Without one it says so and ends with exit status 1; \\fBambience-cli\\fR(1) does the "
        "same work without a window.\n");
    page += QStringLiteral(".SH OPTIONS\nOnly the first argument counts; any other is ignored.\n");
    for (const core::ProgramArgument& a : core::WindowProgramArguments())
        page += QStringLiteral(".TP\n.B %1\n%2\n").arg(Roff(QLatin1String(a.argument)), Roff(QLatin1String(a.meaning)));
    page += QLatin1String(kFiles);
    page += QStringLiteral(".SH SEE ALSO\n.BR ambience\\-cli (1)\n");
    return page;
}

int RunManual(const QStringList& args)
{
    if (args.size() == 1 && args.first() == QLatin1String("ambience-cli")) {
        std::fputs(CliManual().toUtf8().constData(), stdout);
        return cli::ExitDone;
    }
    if (args.size() == 1 && args.first() == QLatin1String("ambience")) {
        std::fputs(WindowManual().toUtf8().constData(), stdout);
        return cli::ExitDone;
    }
    cli::PrintError(QStringLiteral("usage: ambience-cli __manual ambience|ambience-cli"));
    return cli::ExitUsage;
}

cli::Registrar registrar{{"__manual", "ambience|ambience-cli", "Prints a manual page in roff.", RunManual}};

} // namespace
