#pragma once
// Dialogs answered by the test: every message and file request is recorded, and
// the answers come from queues (OK and "cancelled" when a queue is empty).
#include "ui/dialogs.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace uitest {

struct ShownMessage {
    QString text;
    QString caption;
    ui::MessageIcon icon;
    ui::MessageButtons buttons;
};

struct ScriptedDialogs : ui::Dialogs {
    std::vector<ShownMessage> messages;
    std::vector<ui::FileRequest> openRequests;
    std::vector<ui::FileRequest> saveRequests;
    std::deque<ui::MessageAnswer> answers;
    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;
    std::vector<QString> folderRequests;
    std::deque<QString> folders;
    std::deque<QStringList> fileLists;
    std::deque<ui::MakePackAnswers> makePackAnswers; // empty: cancelled
    std::deque<ui::DownloadArtAnswers> downloadArtAnswers; // empty: cancelled
    struct PasswordRequest {
        QString packName;
        bool wrongBefore;
    };
    std::vector<PasswordRequest> passwordRequests;
    std::deque<QString> passwords; // empty: cancelled
    // Runs while a message stands, as the loop of a modal box would.
    std::function<void(const ShownMessage&)> whileShown;

    ui::MessageAnswer Message(QWidget*, const QString& text, const QString& caption, ui::MessageIcon icon,
                              ui::MessageButtons buttons) override
    {
        messages.push_back({text, caption, icon, buttons});
        if (whileShown)
            whileShown(messages.back());
        if (answers.empty())
            return ui::MessageAnswer::Ok;
        const ui::MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString OpenFileName(QWidget*, const ui::FileRequest& request) override
    {
        openRequests.push_back(request);
        return Next(openFiles);
    }
    QString SaveFileName(QWidget*, const ui::FileRequest& request) override
    {
        saveRequests.push_back(request);
        return Next(saveFiles);
    }
    QString FolderName(QWidget*, const QString& title) override
    {
        folderRequests.push_back(title);
        return Next(folders);
    }
    QStringList OpenFileNames(QWidget*, const ui::FileRequest& request) override
    {
        openRequests.push_back(request);
        if (fileLists.empty())
            return {};
        QStringList files = fileLists.front();
        fileLists.pop_front();
        return files;
    }
    std::optional<ui::MakePackAnswers> MakePack(QWidget*, const std::vector<QIcon>&) override
    {
        if (makePackAnswers.empty())
            return std::nullopt;
        ui::MakePackAnswers answers = std::move(makePackAnswers.front());
        makePackAnswers.pop_front();
        return answers;
    }
    std::optional<ui::DownloadArtAnswers> DownloadArt(QWidget*) override
    {
        if (downloadArtAnswers.empty())
            return std::nullopt;
        ui::DownloadArtAnswers answers = std::move(downloadArtAnswers.front());
        downloadArtAnswers.pop_front();
        return answers;
    }
    std::optional<QString> PackPassword(QWidget*, const QString& packName, bool wrongBefore) override
    {
        passwordRequests.push_back({packName, wrongBefore});
        if (passwords.empty())
            return std::nullopt;
        QString answer = passwords.front();
        passwords.pop_front();
        return answer;
    }
    // Messages with the given caption.
    std::vector<ShownMessage> WithCaption(const QString& caption) const
    {
        std::vector<ShownMessage> found;
        for (const ShownMessage& m : messages)
            if (m.caption == caption)
                found.push_back(m);
        return found;
    }

private:
    static QString Next(std::deque<QString>& queue)
    {
        if (queue.empty())
            return {};
        QString value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace uitest
