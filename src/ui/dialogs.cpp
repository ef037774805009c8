#include "ui/dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace ui {

QString QtFilterFromPipes(const QString& pipes)
{
    // The pipe form alternates description and pattern; Qt wants only the
    // descriptions, which already carry their patterns in parentheses.
    const QStringList parts = pipes.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << (description.contains(QLatin1Char('('))
                        ? description
                        : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

namespace {

class QtDialogs final : public Dialogs {
public:
    MessageAnswer Message(QWidget* owner, const QString& text, const QString& caption,
                          MessageIcon icon, MessageButtons buttons) override
    {
        QMessageBox box(owner);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        }
        if (buttons == MessageButtons::OkCancel) {
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
        } else {
            box.setStandardButtons(QMessageBox::Ok);
        }
        return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }

    QString OpenFileName(QWidget* owner, const FileRequest& request) override
    {
        QFileDialog dialog(owner, request.title, request.folder, QtFilterFromPipes(request.filter));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(request.defaultExtension);
        dialog.setOption(QFileDialog::ReadOnly, false);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().first();
    }

    QString SaveFileName(QWidget* owner, const FileRequest& request) override
    {
        QFileDialog dialog(owner, request.title, request.folder, QtFilterFromPipes(request.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.proposedName.isEmpty())
            dialog.selectFile(request.proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().first();
    }
};

} // namespace

std::unique_ptr<Dialogs> MakeQtDialogs()
{
    return std::make_unique<QtDialogs>();
}

} // namespace ui
