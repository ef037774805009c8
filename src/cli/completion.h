#pragma once
// Shell completion for ambience-cli, worked out from the command table itself: the
// commands, the options and arguments their usage lines name, the installed packs
// and the settings with their values. The bash, zsh and fish scripts only ask
// "ambience-cli __complete WORD..." and show what it prints.
#include "cli/command.h"

#include <QString>
#include <QStringList>

#include <vector>

struct OptionField;

namespace cli {

struct Candidate {
    QString text;
    QString description; // may be empty
};

struct Completion {
    std::vector<Candidate> candidates; // already matched against the word being typed
    bool files = false;                // file names fit here as well
    bool noSpace = false;              // the word goes on after the candidate ("Name=")
};

struct InstalledPack {
    QString name; // the file name without ".zip", as the commands accept it
    QString title;
};

// words: what follows the program name up to the cursor; the last one is the word
// being typed (empty at the start of a new word).
Completion Complete(const std::vector<Command>& commands, const QStringList& words,
                    const std::vector<InstalledPack>& packs);

// The values a setting takes on the command line, each with its meaning: item
// names where they are single words, else the numbers.
std::vector<Candidate> SettingValues(const OptionField& field);

// The printed form read by the completion scripts: one candidate a line, text and
// description split by a tab; ":files" and ":nospace" lines first when set.
QStringList FormatCompletion(const Completion& completion);

} // namespace cli
