#pragma once
// "Download art...": the dialog that asks for a museum, a theme (or a query of
// one's own) and the number of works, and the progress dialog that fetches them
// on a worker thread while the window stays responsive.
#include "archive/errors.h"
#include "core/result.h"
#include "museum/fetch.h"
#include "ui/dialogs.h"
#include "ui/work_progress.h"

#include <QDialog>

#include <QDateTime>

#include <atomic>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QThread;

namespace platform { class Registry; }

namespace ui {

// A theme offered in the dialog: its caption, and the words each museum is asked.
struct ArtTheme {
    const char* caption;
    const char* query;
};
const std::vector<ArtTheme>& ArtThemes();

class TDownloadArtDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDownloadArtDialog(QWidget* parent = nullptr);

    DownloadArtAnswers Answers() const;

    QComboBox* Museum = nullptr;
    QComboBox* Theme = nullptr;    // the themes, then "Your own query"
    QLineEdit* OwnQuery = nullptr; // enabled with "Your own query"
    QSpinBox* Count = nullptr;
    QCheckBox* KeepFresh = nullptr; // off by default
    QSpinBox* FreshDays = nullptr;  // enabled with KeepFresh
    QLabel* Licence = nullptr;
    QDialogButtonBox* Buttons = nullptr;

private:
    bool OwnQueryChosen() const;
    void UpdateOk();
};

// Keeps the pack just made at `archive` fresh as the answers ask (one pack at a
// time: it takes the place of any other); it counts as renewed at `now`.
core::Result<void> SubscribeFreshPack(platform::Registry& store, const QString& key, const DownloadArtAnswers& answers,
                                      const QString& archive, const QDateTime& now);

class TDownloadArtProgress : public TWorkProgress {
    Q_OBJECT
public:
    explicit TDownloadArtProgress(QWidget* parent = nullptr);

    // Starts the fetch on a worker thread; the dialog closes itself when it has
    // ended (made, failed or cancelled).
    void Start(const museum::FetchRequest& request);
    const core::Result<museum::FetchedPack>& Result() const { return result_; }

private:
    void Progress(const museum::FetchProgress& p);
    void Done(core::Result<museum::FetchedPack> result);

    // Until the fetch has ended: no pack was made.
    core::Result<museum::FetchedPack> result_ = core::MakeError(archiva::ErrorCancelled, "no pack was made");
};

} // namespace ui
