#include "ui/pack_password_dialog.h"

#include "ui/dialogs.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

QString PackPasswordQuestion(const QString& packName)
{
    return QStringLiteral("The pictures of the pack \"%1\" are encrypted. Enter the pack's password to show them.")
        .arg(packName);
}

QString WrongPackPasswordText()
{
    return QStringLiteral("That password does not open the pack. Please try again.");
}

TPackPasswordDialog::TPackPasswordDialog(const QString& packName, bool wrongBefore, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("PackPasswordDialog"));
    setWindowTitle(QStringLiteral("Pack password"));
    Question = new QLabel(PackPasswordQuestion(packName), this);
    Question->setObjectName(QStringLiteral("Question"));
    Question->setWordWrap(true);
    Question->setTextFormat(Qt::PlainText);
    Wrong = new QLabel(WrongPackPasswordText(), this);
    Wrong->setObjectName(QStringLiteral("Wrong"));
    Wrong->setWordWrap(true);
    Wrong->setVisible(wrongBefore);
    QFont bold = Wrong->font();
    bold.setBold(true);
    Wrong->setFont(bold);
    PackPassword = new QLineEdit(this);
    PackPassword->setObjectName(QStringLiteral("PackPassword"));
    PackPassword->setEchoMode(QLineEdit::Password);
    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    Buttons->setObjectName(QStringLiteral("Buttons"));
    QPushButton* ok = Buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    connect(PackPassword, &QLineEdit::textChanged, ok, [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Question);
    layout->addWidget(Wrong);
    layout->addWidget(PackPassword);
    layout->addWidget(Buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 70);
    PackPassword->setFocus();
}

QString TPackPasswordDialog::Password() const
{
    return PackPassword->text();
}

} // namespace ui

namespace ui {

std::optional<QString> Dialogs::PackPassword(QWidget* owner, const QString& packName, bool wrongBefore)
{
    TPackPasswordDialog dialog(packName, wrongBefore, owner);
    if (dialog.exec() != QDialog::Accepted || dialog.Password().isEmpty())
        return std::nullopt;
    return dialog.Password();
}

} // namespace ui
