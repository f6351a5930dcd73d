#include "app/NestedWait.h"
#include "device/HID_API.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace {

struct HeldTeardown
{
    QPointer<QObject> context;
    std::function<void()> teardown;
};

int s_depth = 0;
bool s_replayPosted = false;
bool s_replaying = false;
bool s_endRequested = false;
QList<QEventLoop *> &openLoops()
{
    static QList<QEventLoop *> loops;
    return loops;
}
// Dialogs running through ExecDialog, innermost last.
QList<QPointer<QDialog>> &openDialogs()
{
    static QList<QPointer<QDialog>> dialogs;
    return dialogs;
}
QList<HeldTeardown> &held()
{
    static QList<HeldTeardown> list;
    return list;
}
NestedWait::EnterHook &enterHook()
{
    static NestedWait::EnterHook hook;
    return hook;
}

bool OnGuiThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// The device whose page is open now: a device whose page was left has no say in a wait.
const void *PageDevice()
{
    const HID_API *page = HID_API::instance();
    return page ? page->PageDevice() : nullptr;
}

void Replay();

void PostReplay()
{
    if (s_replayPosted || held().isEmpty())
        return;
    s_replayPosted = true;
    QTimer::singleShot(0, QCoreApplication::instance(), &Replay);
}

void Replay()
{
    s_replayPosted = false;
    if (s_replaying || s_depth > 0)
        return; // the outermost wait's end posts it again
    s_replaying = true;
    while (s_depth == 0 && !held().isEmpty()) {
        const HeldTeardown h = held().takeFirst();
        if (h.context)
            h.teardown();
    }
    s_replaying = false;
    if (s_depth == 0)
        PostReplay();
}

} // namespace

NestedWait::Scope::Scope(const char *file, int line)
{
    if (!OnGuiThread())
        return;
    m_counted = true;
    m_device = PageDevice();
    m_wentBefore = HID_API::PageDeviceGoing(); // asked again after its device went
    ++s_depth;
    if (enterHook())
        enterHook()(file, line);
}

NestedWait::Scope::~Scope()
{
    if (!m_counted)
        return;
    if (--s_depth == 0)
        PostReplay();
}

bool NestedWait::Scope::DeviceWent() const
{
    return m_wentBefore || (m_device && PageDevice() != m_device);
}

bool NestedWait::Open()
{
    return s_depth > 0 && OnGuiThread();
}

void NestedWait::AfterWaits(QObject *context, std::function<void()> teardown)
{
    held().append(HeldTeardown{context, std::move(teardown)});
    if (s_depth == 0)
        PostReplay();
}

bool NestedWait::Held(QObject *context, std::function<void()> action, bool *once)
{
    if (!Open())
        return false;
    if (once && *once)
        return true;
    if (once)
        *once = true; // `once` lies in `context`, which outlives the held action
    AfterWaits(context, [once, action = std::move(action)] {
        if (once)
            *once = false;
        action();
    });
    return true;
}

void NestedWait::RequestEnd()
{
    if (!OnGuiThread())
        return;
    s_endRequested = true;
    // Innermost first: each dialog's own reject (Cancel, No) closes it and leaves its loop.
    const QList<QPointer<QDialog>> dialogs = openDialogs();
    for (int i = dialogs.size() - 1; i >= 0; --i)
        if (QDialog *dialog = dialogs.at(i); dialog && dialog->isVisible())
            dialog->reject();
    for (QEventLoop *loop : qAsConst(openLoops()))
        loop->quit();
}

bool NestedWait::EndAfterWaits(QObject *context, std::function<void()> end)
{
    if (!Open())
        return false;
    RequestEnd();
    AfterWaits(context, std::move(end));
    return true;
}

bool NestedWait::EndRequested()
{
    return s_endRequested && OnGuiThread();
}

void NestedWait::ClearEndRequest()
{
    s_endRequested = false;
}

void NestedWait::Exec(QEventLoop &loop)
{
    if (!OnGuiThread()) {
        loop.exec();
        return;
    }
    if (s_endRequested)
        return;
    openLoops().append(&loop);
    loop.exec();
    openLoops().removeOne(&loop);
}

int NestedWait::ExecDialog(QDialog &dialog)
{
    if (!OnGuiThread())
        return dialog.exec();
    if (s_endRequested) {
        if (dialog.isVisible()) // shown by its caller before it runs modally
            dialog.reject();
        return QDialog::Rejected;
    }
    QPointer<QDialog> guard(&dialog);
    openDialogs().append(guard);
    // Shown here as exec() would show it, so that an end asked in a wait inside its opening
    // (which rejects it before exec() has a loop to leave) is seen before that loop starts.
    const bool wasModal = dialog.testAttribute(Qt::WA_ShowModal);
    dialog.setAttribute(Qt::WA_ShowModal, true);
    dialog.setResult(0);
    dialog.show();
    int result = QDialog::Rejected;
    if (guard && s_endRequested && dialog.isVisible())
        dialog.reject();
    if (guard)
        result = dialog.isVisible() ? dialog.exec() : dialog.result();
    openDialogs().removeAll(guard); // a deleted dialog: the null entries go
    if (!guard)
        return QDialog::Rejected;
    dialog.setAttribute(Qt::WA_ShowModal, wasModal);
    return s_endRequested ? int(QDialog::Rejected) : result;
}

void NestedWait::SetEnterHook(EnterHook hook)
{
    enterHook() = std::move(hook);
}
