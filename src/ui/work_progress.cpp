#include "ui/work_progress.h"

#include "ui/page_style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <string>

namespace ui {

TWorkProgress::TWorkProgress(QWidget* parent, const char* name, const QString& title, const QString& firstStatus,
                             const char* prefix, bool withNote, int minimumWidth)
    : QDialog(parent)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
    const std::string p = prefix;
    Status = Named(new QLabel(firstStatus, this), (p + "Status").c_str());
    Status->setMinimumWidth(minimumWidth);
    Status->setWordWrap(true);
    if (withNote) {
        Note = Named(new QLabel(this), (p + "Note").c_str());
        Note->setWordWrap(true);
    }
    Bar = Named(new QProgressBar(this), (p + "Bar").c_str());
    Bar->setRange(0, 0);
    CancelButton = Named(new QPushButton(QStringLiteral("Cancel"), this), (p + "Cancel").c_str());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Status);
    layout->addWidget(Bar);
    if (Note)
        layout->addWidget(Note);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(CancelButton);
    layout->addLayout(row);
    connect(CancelButton, &QPushButton::clicked, this, &TWorkProgress::Cancel);
}

TWorkProgress::~TWorkProgress()
{
    if (worker_) {
        cancel_ = true;
        worker_->wait();
        delete worker_;
    }
}

void TWorkProgress::Run(std::function<void()> work)
{
    worker_ = QThread::create(std::move(work));
    worker_->start();
}

void TWorkProgress::Finish(bool ok)
{
    finished_ = true;
    if (worker_) {
        worker_->wait();
        delete worker_;
        worker_ = nullptr;
    }
    done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void TWorkProgress::Cancel()
{
    cancel_ = true;
    CancelButton->setEnabled(false);
    Status->setText(QStringLiteral("Cancelling..."));
}

void TWorkProgress::reject()
{
    if (finished_)
        QDialog::reject();
    else
        Cancel();
}

} // namespace ui
