// The busy state: while a change runs, the page control and the agent menu are
// disabled (so nothing starts a second one), the cursor waits and the progress bar
// shows. The work itself runs on a worker thread: the window's loop goes on, so it
// repaints and answers without being asked to.
#include "ui/busy_state.h"

#include "ui/main_window.h"
#include "ui/packs_page.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>

namespace ui {

void TAMMF::BeginBusy()
{
    busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PC->setEnabled(false);
    for (QAction* item : AM->actions())
        item->setEnabled(false);
    PS->PB->show();
    PS->PB->raise();
    PS->PB->setValue(0);
}

void TAMMF::EndBusy()
{
    PS->PB->hide();
    for (QAction* item : AM->actions())
        item->setEnabled(true);
    PC->setEnabled(true);
    QApplication::restoreOverrideCursor();
    busy_ = false;
    if (closeWhenIdle_) {
        closeWhenIdle_ = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TAMMF::ShowProgress(int value)
{
    QProgressBar* bar = PS->PB;
    if (value == -100)
        bar->setValue(0);
    else if (bar->value() < value)
        // Frame passes report a little above 100; the bar stops at its end.
        bar->setValue(std::min(value, bar->maximum()));
}

BusyGuard::BusyGuard(TAMMF& window) : window_(window)
{
    window_.BeginBusy();
}

BusyGuard::~BusyGuard()
{
    window_.EndBusy();
}

} // namespace ui
