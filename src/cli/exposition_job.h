#pragma once
// What the exposition commands of ambience-cli (refresh, random, next, back,
// export) share: their options, choosing the picture over the installed packs,
// composing, and writing the result.
#include "change/desktop_change.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace cli {

struct ExpositionRequest {
    change::PictureStep step = change::PictureStep::Current;
    std::optional<QSize> size;   // --size WxH
    std::vector<platform::Monitor> monitors; // --monitors WxH+X+Y,...: instead of the screen's
    QString pack;                // --pack NAME|FILE
    std::optional<int> picture;  // --picture N, counted from 1
    std::optional<quint32> seed; // --seed N
    QStringList overrides;       // "BackgroundType=Smoothed", ... for this run only
    std::optional<QString> exportPath; // export: the file to write; else the wallpaper is set
    std::optional<gallery::PictureKey> show; // show-again: this picture (step and --pack/--picture unused)
};

// The options every exposition command takes, for its usage line.
extern const char* const ExpositionOptionsUsage;

// The setting an option of a single run stands for ("--background" gives
// "BackgroundType"); nullptr for the other options.
const char* SettingOfOption(const QString& option);

// Takes the options out of args into request. False and error set on a bad or
// unknown option.
bool ParseExpositionOptions(QStringList& args, ExpositionRequest& request, QString& error);

// Parses "1920x1080"; false for anything else or sides outside 1..32767.
bool ParseCanvasSize(const QString& text, QSize& size);

// Runs the request; returns the exit code: 0 done, 1 failed, 2 bad request,
// 3 the wallpaper file was written but no desktop interface took it.
int RunExposition(const ExpositionRequest& request);

} // namespace cli
