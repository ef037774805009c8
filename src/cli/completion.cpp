#include "cli/completion.h"

#include "cli/exposition_job.h"
#include "settings/option_fields.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace cli {
namespace {

// A usage line read as a form: its positional places in order and its options.
// "show FILE|NAME [--password P] [--check]" has the places "show" (a word to type
// as it is) and FILE|NAME (a placeholder), the option --password with a value P
// and the flag --check. A lone "|" separates alternative forms.
struct Slot {
    QStringList words;   // literal words, any one of them
    QString placeholder; // else what stands here
    bool repeats = false;
};
struct Option {
    QString name;
    QString value; // the value's placeholder; empty for a flag
};
struct Form {
    std::vector<Slot> places;
    std::vector<Option> options;
};

std::vector<Form> ParseUsage(const QString& usage)
{
    static const QRegularExpression literal(QStringLiteral("^[a-z][a-z-]*(\\|[a-z][a-z-]*)*$"));
    const QStringList tokens = usage.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<Form> forms(1);
    int depth = 0; // of brackets: "[--out FILE | --install]" is one choice inside a form
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString& token = tokens[i];
        if (token == QLatin1String("|")) {
            if (depth == 0)
                forms.emplace_back();
            continue;
        }
        depth += static_cast<int>(token.count(QLatin1Char('['))) - static_cast<int>(token.count(QLatin1Char(']')));
        QString clean = token;
        clean.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        const bool repeats = clean.endsWith(QLatin1String("..."));
        if (repeats)
            clean.chop(3);
        Form& form = forms.back();
        if (clean.isEmpty()) {
            if (repeats && !form.places.empty())
                form.places.back().repeats = true;
            continue;
        }
        if (clean.startsWith(QLatin1String("--"))) {
            Option option{clean, {}};
            // "[--size WxH]": the value follows inside the same brackets.
            if (!token.endsWith(QLatin1Char(']')) && i + 1 < tokens.size() && !tokens[i + 1].startsWith(QLatin1Char('['))
                && tokens[i + 1] != QLatin1String("|") && !tokens[i + 1].startsWith(QLatin1String("--"))
                && tokens[i + 1] != QLatin1String("...")) {
                option.value = tokens[++i];
                depth -= static_cast<int>(option.value.count(QLatin1Char(']')));
                option.value.remove(QLatin1Char(']'));
            }
            form.options.push_back(option);
            continue;
        }
        Slot slot;
        if (literal.match(clean).hasMatch())
            slot.words = clean.split(QLatin1Char('|'));
        else
            slot.placeholder = clean;
        slot.repeats = repeats;
        form.places.push_back(slot);
    }
    return forms;
}

void Add(Completion& completion, const QString& typed, const QString& text, const QString& description = {})
{
    if (!text.startsWith(typed))
        return;
    for (const Candidate& c : completion.candidates)
        if (c.text == text)
            return;
    completion.candidates.push_back({text, description});
}

void AddSettingValues(Completion& completion, const QString& typed, const QString& prefix, const OptionField& field)
{
    for (const Candidate& value : SettingValues(field))
        Add(completion, typed, prefix + value.text, value.description);
}

void AddPlaceholder(Completion& completion, const QString& typed, const QString& placeholder,
                    const std::vector<InstalledPack>& packs)
{
    if (placeholder.contains(QLatin1Char('='))) {
        // NAME=VALUE: a setting's name, then its values.
        const qsizetype equals = typed.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            const OptionField* field = FindOptionField(typed.left(equals));
            if (field && field->Settable())
                AddSettingValues(completion, typed, typed.left(equals + 1), *field);
            return;
        }
        for (const auto* fields : {&OptionFields(), &DesktopFields()})
            for (const OptionField& field : *fields)
                if (field.Settable())
                    Add(completion, typed, QLatin1String(field.name) + QLatin1Char('='));
        completion.noSpace = true;
        return;
    }
    for (const QString& part : placeholder.split(QLatin1Char('|'))) {
        if (part == QLatin1String("NAME")) {
            for (const InstalledPack& pack : packs)
                Add(completion, typed, pack.name, pack.title);
        } else if (part.startsWith(QLatin1String("FILE")) || part == QLatin1String("PICTURE") || part == QLatin1String("OUT")
                   || part == QLatin1String("FOLDER") || part == QLatin1String("DIR") || part == QLatin1String("SOURCE")
                   || part == QLatin1String("CSV")) {
            completion.files = true;
        }
    }
}

void AddOptions(Completion& completion, const QString& typed, const Form& form)
{
    for (const Option& option : form.options)
        Add(completion, typed, option.name, option.value);
}

void CompleteForm(Completion& completion, const Form& form, const QStringList& words,
                  const std::vector<InstalledPack>& packs)
{
    const QString& typed = words.last();
    std::size_t position = 0;
    const Option* valueOf = nullptr;
    for (qsizetype i = 1; i + 1 < words.size(); ++i) {
        const QString& word = words[i];
        if (valueOf) {
            valueOf = nullptr;
            continue;
        }
        if (word.startsWith(QLatin1String("--"))) {
            const auto option = std::find_if(form.options.begin(), form.options.end(),
                                              [&](const Option& o) { return o.name == word; });
            if (option != form.options.end() && !option->value.isEmpty())
                valueOf = &*option;
            continue;
        }
        if (position < form.places.size() && !form.places[position].repeats)
            ++position;
    }
    if (valueOf) {
        const char* setting = SettingOfOption(valueOf->name);
        const OptionField* field = setting ? FindOptionField(QLatin1String(setting)) : nullptr;
        if (field)
            AddSettingValues(completion, typed, QString(), *field);
        else
            AddPlaceholder(completion, typed, valueOf->value, packs);
        return;
    }
    if (typed.startsWith(QLatin1Char('-'))) {
        AddOptions(completion, typed, form);
        return;
    }
    const std::size_t before = completion.candidates.size();
    if (position < form.places.size()) {
        const Slot& slot = form.places[position];
        for (const QString& word : slot.words)
            Add(completion, typed, word);
        if (!slot.placeholder.isEmpty())
            AddPlaceholder(completion, typed, slot.placeholder, packs);
    }
    if (completion.candidates.size() == before && typed.isEmpty() && !completion.noSpace)
        AddOptions(completion, typed, form);
}

} // namespace

Completion Complete(const std::vector<Command>& commands, const QStringList& givenWords,
                    const std::vector<InstalledPack>& packs)
{
    const QStringList words = givenWords.isEmpty() ? QStringList{QString()} : givenWords;
    const QString& typed = words.last();
    Completion completion;
    // "help COMMAND" takes a command name, as the first word does.
    const bool helpTopic = words.size() == 2 && words.first() == QLatin1String("help");
    if (words.size() == 1 || helpTopic) {
        std::vector<const Command*> listed;
        for (const Command& c : commands)
            if (Listed(c))
                listed.push_back(&c);
        std::sort(listed.begin(), listed.end(),
                  [](const Command* a, const Command* b) { return std::strcmp(a->name, b->name) < 0; });
        for (const Command* c : listed)
            Add(completion, typed, QLatin1String(c->name), QLatin1String(c->summary));
        Add(completion, typed, QStringLiteral("help"), QStringLiteral("Shows the commands, or the help of one."));
        if (typed.startsWith(QLatin1Char('-')) && !helpTopic) {
            Add(completion, typed, QStringLiteral("--help"), QStringLiteral("Shows the commands."));
            Add(completion, typed, QStringLiteral("--version"), QStringLiteral("Shows the version."));
        }
        return completion;
    }
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const Command& c) { return Listed(c) && words.first() == QLatin1String(c.name); });
    if (command == commands.end())
        return completion;

    std::vector<Form> forms = ParseUsage(QString::fromUtf8(command->usage));
    // Past a subcommand word, only the forms it begins go on.
    if (words.size() > 2) {
        std::vector<Form> chosen;
        for (const Form& form : forms)
            if (!form.places.empty() && form.places.front().words.contains(words[1]))
                chosen.push_back(form);
        if (!chosen.empty())
            forms = std::move(chosen);
    }
    for (const Form& form : forms)
        CompleteForm(completion, form, words, packs);
    return completion;
}

std::vector<Candidate> SettingValues(const OptionField& field)
{
    std::vector<Candidate> values;
    for (std::size_t i = 0; i < field.offered.size(); ++i) {
        const QString number = QString::number(field.offered[i]);
        QString item = i < static_cast<std::size_t>(field.items.size()) ? field.items[static_cast<qsizetype>(i)]
                                                                          : QString();
        if (!field.bits.isEmpty()) {
            // A bit set: the names of the bits that are on.
            QStringList on;
            for (qsizetype bit = 0; bit < field.bits.size(); ++bit)
                if (field.offered[i] & (1 << bit))
                    on << field.bits[bit];
            item = on.join(QStringLiteral(" and "));
        }
        // Only item names are taken for numbers (ApplyOptionAssignments).
        if (!field.items.isEmpty() && !item.isEmpty() && !item.contains(QLatin1Char(' ')))
            values.push_back({item, number});
        else
            values.push_back({number, item});
    }
    return values;
}

QStringList FormatCompletion(const Completion& completion)
{
    QStringList lines;
    if (completion.files)
        lines << QStringLiteral(":files");
    if (completion.noSpace)
        lines << QStringLiteral(":nospace");
    for (const Candidate& c : completion.candidates) {
        QString description = c.description;
        description.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << (description.isEmpty() ? c.text : c.text + QLatin1Char('\t') + description);
    }
    return lines;
}

} // namespace cli
