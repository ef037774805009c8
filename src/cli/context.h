#pragma once
// What a command of ambience-cli works with, made the way the program's start
// makes it and passed to the steps that need it: the application record (for the
// program's folder), the current user's settings store and the settings over it,
// and the record of the wall.
#include "core/product.h"

#include <QString>
#include <QStringList>

#include <memory>

class TOptions;
namespace gallery { class WallRecord; }
namespace platform {
class Registry;
class SecretStore;
class WallpaperSetter;
} // namespace platform

namespace cli {

class Context {
public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    const TProduct& Product() const { return product_; }
    platform::Registry& Store() { return store_; }
    // The desktop's own setter, made for the commands that set the wallpaper.
    platform::WallpaperSetter& Setter();
    // The desktop's keyring, made for the commands that open encrypted packs.
    platform::SecretStore& Secrets();

    // Makes the settings (loading and writing back the settings where the store
    // can be written; otherwise the settings live in memory). Notices (a damaged
    // store, values of the wrong type) are in Notices().
    TOptions& LoadOptions();
    // Saves the settings when they were made; false and error set when the store
    // cannot be written.
    bool SaveOptions(QString& error);

    // The record of the wall in the data folder, opened on first use. Null when it
    // cannot be opened: why is then in Notices() (and RecordProblem()), and a
    // change goes on without it.
    gallery::WallRecord* Record();
    // Whether the record's file is there, so that reading it makes none.
    bool RecordExists() const;
    const QString& RecordProblem() const { return recordProblem_; }

    const QStringList& Notices() const { return notices_; }

private:
    TProduct product_;
    platform::Registry& store_;
    std::unique_ptr<TOptions> options_;
    std::unique_ptr<platform::WallpaperSetter> setter_;
    std::unique_ptr<gallery::WallRecord> record_;
    bool recordOpened_ = false;
    QString recordProblem_;
    std::unique_ptr<platform::SecretStore> secrets_;
    QStringList notices_;
};

} // namespace cli
