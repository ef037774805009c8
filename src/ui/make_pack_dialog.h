#pragma once
// "Make a pack...": the dialog that asks for the pictures (folders or files), the
// pack's name, author and icon and an optional password, and the progress dialog
// that makes the pack on a worker thread while the window stays responsive.
#include "archive/errors.h"
#include "packmaker/pack_maker.h"
#include "ui/dialogs.h"
#include "ui/work_progress.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QThread;

namespace ui {

class TMakePackDialog : public QDialog {
    Q_OBJECT
public:
    // Folder and file choosers go through `dialogs`, so tests can answer them.
    TMakePackDialog(Dialogs& dialogs, const std::vector<QIcon>& icons, QWidget* parent = nullptr);

    MakePackAnswers Answers() const;

    QListWidget* Pictures = nullptr;
    QPushButton* AddFolder = nullptr;
    QPushButton* AddFiles = nullptr;
    QPushButton* RemovePictures = nullptr;
    QLineEdit* PackName = nullptr;
    QLineEdit* PackAuthor = nullptr;
    QComboBox* PackIcon = nullptr;
    QLineEdit* PackPassword = nullptr;
    QDialogButtonBox* Buttons = nullptr;

private:
    void AddSources(const QStringList& sources);
    void UpdateOk();
    Dialogs& dialogs_;
};

class TMakePackProgress : public TWorkProgress {
    Q_OBJECT
public:
    explicit TMakePackProgress(QWidget* parent = nullptr);

    // Starts making the pack on a worker thread; the dialog closes itself when
    // the work has ended (made, failed or cancelled).
    void Start(const packmaker::MakeRequest& request);
    const core::Result<packmaker::MadePack>& Result() const { return result_; }

private:
    void Progress(int done, int total, const QString& picture, double writing);
    void Done(core::Result<packmaker::MadePack> result);

    // Until the work has ended: nothing was made.
    core::Result<packmaker::MadePack> result_ = core::MakeError(archiva::ErrorCancelled, "the pack was not made");
};

} // namespace ui
