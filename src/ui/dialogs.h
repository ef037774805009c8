#pragma once
// Every question and message the window puts to the user goes through this seam, so
// tests can answer them. The real implementation uses QMessageBox and QFileDialog.
#include <QIcon>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace ui {

enum class MessageIcon { Information, Question, Warning, Critical };
enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

// What the window asks for a file: title, filter in the "Name (*.ext)|*.ext|..."
// form, default extension without a dot, and a proposed file name (may be empty).
struct FileRequest {
    QString title;
    QString filter;
    QString defaultExtension;
    QString proposedName;
    QString folder; // start folder; empty for the dialog's own choice
};

// What the "Make a pack..." dialog asks for (ui/make_pack_dialog.h).
struct MakePackAnswers {
    QStringList sources; // picture files and folders
    QString name;
    QString author;
    int icon = 0;
    QString password; // empty: not encrypted
};

// What the "Download art..." dialog asks for (ui/download_art_dialog.h).
struct DownloadArtAnswers {
    QString museum; // its code: "aic", "met", ...
    QString query;  // what the museum is searched for
    QString name;   // the pack's name
    int count = 40; // works at most
    // "Keep this pack fresh": renew a quarter of it every `everyDays` days.
    bool keepFresh = false;
    int everyDays = 7;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer Message(QWidget* owner, const QString& text, const QString& caption,
                                  MessageIcon icon, MessageButtons buttons) = 0;
    // The chosen file, or an empty text when the user cancelled.
    virtual QString OpenFileName(QWidget* owner, const FileRequest& request) = 0;
    // The chosen file, or an empty text when the user cancelled. The dialog itself
    // asks before an existing file is replaced.
    virtual QString SaveFileName(QWidget* owner, const FileRequest& request) = 0;

    // The pack maker's questions. Their defaults show the real dialogs, so an
    // implementation that answers only the questions above still builds.
    // The chosen folder, or an empty text when the user cancelled.
    virtual QString FolderName(QWidget* owner, const QString& title);
    // The chosen files (several at once), or none when the user cancelled.
    virtual QStringList OpenFileNames(QWidget* owner, const FileRequest& request);
    // The "Make a pack..." dialog (TMakePackDialog); nullopt when cancelled.
    virtual std::optional<MakePackAnswers> MakePack(QWidget* owner, const std::vector<QIcon>& icons);
    // The "Download art..." dialog (TDownloadArtDialog); nullopt when cancelled.
    virtual std::optional<DownloadArtAnswers> DownloadArt(QWidget* owner);
    // The password of the encrypted pack packName (TPackPasswordDialog), saying so
    // when the last answer was wrong; nullopt when cancelled.
    virtual std::optional<QString> PackPassword(QWidget* owner, const QString& packName, bool wrongBefore);
};

// QMessageBox and QFileDialog.
std::unique_ptr<Dialogs> MakeQtDialogs();

// "Packs (*.zip)|*.zip|All files (*.*)|*.*" as Qt's "Packs (*.zip);;All files (*.*)".
QString QtFilterFromPipes(const QString& pipes);

} // namespace ui
