#pragma once
// A progress dialog for long work on a worker thread (making a pack, fetching art
// from a museum): a status line, a bar, an optional note and Cancel. Esc and the
// close button cancel too; the dialog stays until the worker has stopped, then
// closes itself, accepted when the work succeeded.
#include <QDialog>

#include <atomic>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;

namespace ui {

class TWorkProgress : public QDialog {
    Q_OBJECT
public:
    ~TWorkProgress() override;

    QLabel* Status = nullptr;
    QLabel* Note = nullptr; // null unless the dialog was made with one
    QProgressBar* Bar = nullptr;
    QPushButton* CancelButton = nullptr;

    // Asks the work to stop; it ends at its next step.
    void Cancel();
    void reject() override;
    bool Finished() const { return finished_; }

protected:
    // prefix names the controls for tests ("PackMake": PackMakeStatus, PackMakeBar, ...).
    TWorkProgress(QWidget* parent, const char* name, const QString& title, const QString& firstStatus,
                  const char* prefix, bool withNote, int minimumWidth);

    // Runs work on a worker thread. work ends by queueing a call of the
    // subclass's own that ends in Finish.
    void Run(std::function<void()> work);
    // The work has ended: the worker is collected and the dialog closes.
    void Finish(bool ok);

    std::atomic<bool> cancel_ {false};

private:
    QThread* worker_ = nullptr;
    bool finished_ = false;
};

} // namespace ui
