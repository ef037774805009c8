#include "ui/make_pack_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace ui {

QString Dialogs::FolderName(QWidget* owner, const QString& title)
{
    return QFileDialog::getExistingDirectory(owner, title);
}

QStringList Dialogs::OpenFileNames(QWidget* owner, const FileRequest& request)
{
    return QFileDialog::getOpenFileNames(owner, request.title, request.folder, QtFilterFromPipes(request.filter));
}

std::optional<MakePackAnswers> Dialogs::MakePack(QWidget* owner, const std::vector<QIcon>& icons)
{
    TMakePackDialog dialog(*this, icons, owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Answers();
}

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

TMakePackDialog::TMakePackDialog(Dialogs& dialogs, const std::vector<QIcon>& icons, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("MakePackDialog"));
    setWindowTitle(QStringLiteral("Make a pack"));

    Pictures = Named(new QListWidget(this), "Pictures");
    Pictures->setSelectionMode(QAbstractItemView::ExtendedSelection);
    AddFolder = Named(new QPushButton(QStringLiteral("Add a &folder..."), this), "AddFolder");
    AddFiles = Named(new QPushButton(QStringLiteral("Add fi&les..."), this), "AddFiles");
    RemovePictures = Named(new QPushButton(QStringLiteral("&Remove"), this), "RemovePictures");
    PackName = Named(new QLineEdit(this), "PackName");
    PackAuthor = Named(new QLineEdit(this), "PackAuthor");
    PackAuthor->setPlaceholderText(QStringLiteral("for pictures that name no artist"));
    PackIcon = Named(new QComboBox(this), "PackIcon");
    for (std::size_t i = 0; i < icons.size(); ++i)
        PackIcon->addItem(icons[i], QStringLiteral("Icon %1").arg(i), static_cast<int>(i));
    PackIcon->setIconSize(QSize(32, 32));
    PackPassword = Named(new QLineEdit(this), "PackPassword");
    PackPassword->setEchoMode(QLineEdit::Password);
    PackPassword->setPlaceholderText(QStringLiteral("optional"));
    Buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "Buttons");
    Buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Make"));

    auto* pictureButtons = new QVBoxLayout;
    pictureButtons->addWidget(AddFolder);
    pictureButtons->addWidget(AddFiles);
    pictureButtons->addWidget(RemovePictures);
    pictureButtons->addStretch();
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addWidget(Pictures, 1);
    pictureRow->addLayout(pictureButtons);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), PackName);
    form->addRow(QStringLiteral("&Author:"), PackAuthor);
    form->addRow(QStringLiteral("&Icon:"), PackIcon);
    form->addRow(QStringLiteral("&Password:"), PackPassword);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Pictures (JPEG, PNG, WebP, TIFF, BMP, GIF, EMF, WMF; folders with "
                                                "everything in them):"),
                                 this));
    layout->addLayout(pictureRow);
    layout->addLayout(form);
    layout->addWidget(Buttons);
    resize(520, 380);

    connect(AddFolder, &QPushButton::clicked, this, [this] {
        const QString folder = dialogs_.FolderName(this, QStringLiteral("Pictures for the pack"));
        if (!folder.isEmpty())
            AddSources({folder});
    });
    connect(AddFiles, &QPushButton::clicked, this, [this] {
        FileRequest request;
        request.title = QStringLiteral("Pictures for the pack");
        request.filter = QStringLiteral("Pictures|*.jpg;*.jpeg;*.png;*.webp;*.tif;*.tiff;*.bmp;*.gif;*.emf;*.wmf|"
                                        "All files (*.*)|*");
        AddSources(dialogs_.OpenFileNames(this, request));
    });
    connect(RemovePictures, &QPushButton::clicked, this, [this] {
        qDeleteAll(Pictures->selectedItems());
        UpdateOk();
    });
    connect(PackName, &QLineEdit::textChanged, this, [this] { UpdateOk(); });
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    UpdateOk();
}

void TMakePackDialog::AddSources(const QStringList& sources)
{
    for (const QString& source : sources) {
        if (source.isEmpty() || !Pictures->findItems(source, Qt::MatchExactly).isEmpty())
            continue;
        Pictures->addItem(source);
        // A first folder names the pack, as a person would.
        if (PackName->text().isEmpty() && QFileInfo(source).isDir())
            PackName->setText(QFileInfo(source).fileName());
    }
    UpdateOk();
}

void TMakePackDialog::UpdateOk()
{
    Buttons->button(QDialogButtonBox::Ok)->setEnabled(Pictures->count() > 0 && !PackName->text().trimmed().isEmpty());
    RemovePictures->setEnabled(Pictures->count() > 0);
}

MakePackAnswers TMakePackDialog::Answers() const
{
    MakePackAnswers answers;
    for (int i = 0; i < Pictures->count(); ++i)
        answers.sources << Pictures->item(i)->text();
    answers.name = PackName->text().trimmed();
    answers.author = PackAuthor->text().trimmed();
    answers.icon = PackIcon->currentIndex() >= 0 ? PackIcon->currentData().toInt() : 0;
    answers.password = PackPassword->text();
    return answers;
}

TMakePackProgress::TMakePackProgress(QWidget* parent)
    : TWorkProgress(parent, "MakePackProgress", QStringLiteral("Making the pack"),
                    QStringLiteral("Looking for pictures..."), "PackMake", false, 420)
{
}

void TMakePackProgress::Start(const packmaker::MakeRequest& request)
{
    Run([this, request] {
        core::Result<packmaker::MadePack> result = packmaker::MakePack(
            request,
            [this](const packmaker::MakeProgress& p) {
                const QString picture = p.Picture ? QString::fromStdString(p.Picture->Source) : QString();
                QMetaObject::invokeMethod(
                    this, [this, done = p.Done, total = p.Total, picture, writing = p.Writing] {
                        Progress(done, total, picture, writing);
                    },
                    Qt::QueuedConnection);
            },
            &cancel_);
        QMetaObject::invokeMethod(this, [this, result = std::move(result)]() mutable { Done(std::move(result)); },
                                  Qt::QueuedConnection);
    });
}

void TMakePackProgress::Progress(int done, int total, const QString& picture, double writing)
{
    if (cancel_)
        return;
    if (!picture.isEmpty()) {
        Bar->setRange(0, total);
        Bar->setValue(done);
        Status->setText(QStringLiteral("Picture %1 of %2: %3").arg(done).arg(total).arg(QFileInfo(picture).fileName()));
    } else {
        Bar->setRange(0, 100);
        Bar->setValue(static_cast<int>(writing * 100));
        Status->setText(QStringLiteral("Writing the pack..."));
    }
}

void TMakePackProgress::Done(core::Result<packmaker::MadePack> result)
{
    result_ = std::move(result);
    Finish(result_.ok());
}

} // namespace ui
