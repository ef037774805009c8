#pragma once
// The question for an encrypted pack's password: names the pack, says when the
// last answer was wrong, and hides what is typed.
#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace ui {

class TPackPasswordDialog : public QDialog {
    Q_OBJECT
public:
    TPackPasswordDialog(const QString& packName, bool wrongBefore, QWidget* parent = nullptr);

    QString Password() const;

    QLabel* Question = nullptr;
    QLabel* Wrong = nullptr; // shown after a wrong password
    QLineEdit* PackPassword = nullptr;
    QDialogButtonBox* Buttons = nullptr;
};

// The sentences of the dialog, shared with its tests.
QString PackPasswordQuestion(const QString& packName);
QString WrongPackPasswordText();

} // namespace ui
