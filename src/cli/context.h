#pragma once
// The global objects a command of ambience-cli needs, made the way the program's
// start makes them: the application record `Product` (for the program's folder)
// and the settings `Options` (over the current user's store). Both are taken away
// again when the context ends, unless they existed before.
#include <QString>
#include <QStringList>

#include <memory>

struct TProduct;
class TOptions;

namespace cli {

class Context {
public:
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Makes Options (loading and writing back the settings where the store can be
    // written; otherwise the settings live in memory). Notices (a
    // damaged store, values of the wrong type) are in Notices().
    void LoadOptions();
    // Saves Options; false and error set when the store cannot be written.
    bool SaveOptions(QString& error);

    const QStringList& Notices() const { return notices_; }

private:
    std::unique_ptr<TProduct> product_;
    std::unique_ptr<TOptions> options_;
    QStringList notices_;
};

} // namespace cli
