#pragma once
// Holds the main window busy for its lifetime: whatever way a composition ends,
// normally or by an exception, the window comes back to life.
namespace ui {

class TAMMF;

class BusyGuard {
public:
    explicit BusyGuard(TAMMF& window);
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    TAMMF& window_;
};

} // namespace ui
