#include "platform/linux/X11InputCapture.h"
#include "platform/linux/X11KeyTable.h"

#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

namespace {

Display *Dpy(void *d) { return static_cast<Display *>(d); }

uint Swap32(uint v) { return ((v & 0xFF) << 24) | ((v & 0xFF00) << 8) | ((v >> 8) & 0xFF00) | (v >> 24); }
int Swap16(int v) { return qint16(((v & 0xFF) << 8) | ((v >> 8) & 0xFF)); }

void OnRecord(XPointer closure, XRecordInterceptData *data)
{
    if (data->category == XRecordFromServer && data->data_len * 4 >= sizeof(xEvent))
        reinterpret_cast<X11InputCapture *>(closure)->HandleEvent(data->data, data->client_swapped);
    XRecordFreeData(data);
}

// Registers the backend for the program that links it.
const bool registered = GlobalInputCapture::SetFactory([] { return std::make_unique<X11InputCapture>(); });

} // namespace

X11InputCapture::X11InputCapture(const QByteArray &display) : m_display(display)
{
    Q_UNUSED(registered);
}

X11InputCapture::~X11InputCapture()
{
    Close();
}

bool X11InputCapture::Open()
{
    if (m_context)
        return true;
    if (qgetenv("WAYLAND_DISPLAY").size() && qgetenv("XDG_SESSION_TYPE") == "wayland" && m_display.isEmpty()) {
        // RECORD on Xwayland sees the X clients only, not the desktop.
        SetError(QStringLiteral("a Wayland session: the X server does not see other programs' input"));
        return false;
    }
    const char *name = m_display.isEmpty() ? nullptr : m_display.constData();
    m_control = XOpenDisplay(name);
    m_data = m_control ? XOpenDisplay(name) : nullptr;
    if (!m_data) {
        SetError(QStringLiteral("no X server at \"%1\"").arg(QString::fromLocal8Bit(name ? name : qgetenv("DISPLAY").constData())));
        Close();
        return false;
    }
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(Dpy(m_control), &major, &minor)) {
        SetError(QStringLiteral("the X server has no RECORD extension"));
        Close();
        return false;
    }
    XRecordRange *range = XRecordAllocRange();
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonRelease;
    XRecordClientSpec clients = XRecordAllClients;
    m_context = XRecordCreateContext(Dpy(m_control), 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(Dpy(m_control), False);
    if (!m_context || !XRecordEnableContextAsync(Dpy(m_data), m_context, OnRecord, reinterpret_cast<XPointer>(this))) {
        SetError(QStringLiteral("the RECORD context could not be enabled"));
        Close();
        return false;
    }
    // The enable request must reach the server now, not with the next request of this connection.
    XFlush(Dpy(m_data));
    m_notifier = new QSocketNotifier(ConnectionNumber(Dpy(m_data)), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11InputCapture::ReadReplies);
    return true;
}

void X11InputCapture::Close()
{
    delete m_notifier;
    m_notifier = nullptr;
    if (m_context && m_control) {
        XRecordDisableContext(Dpy(m_control), m_context);
        XRecordFreeContext(Dpy(m_control), m_context);
        XSync(Dpy(m_control), False);
    }
    m_context = 0;
    if (m_data)
        XCloseDisplay(Dpy(m_data));
    if (m_control)
        XCloseDisplay(Dpy(m_control));
    m_data = m_control = nullptr;
    m_pendingRelease = false;
}

void X11InputCapture::ReadReplies()
{
    if (!m_data)
        return;
    XRecordProcessReplies(Dpy(m_data));
    FlushPendingRelease();
}

bool X11InputCapture::EnableKeyboard(bool on)
{
    if (on && !Open())
        return false;
    m_keys = on;
    if (!on)
        m_pendingRelease = false;
    if (!m_keys && !m_pointer)
        Close();
    return true;
}

bool X11InputCapture::EnablePointer(bool on)
{
    if (on && !Open())
        return false;
    m_pointer = on;
    if (!m_keys && !m_pointer)
        Close();
    return true;
}

void X11InputCapture::FlushPendingRelease()
{
    if (!m_pendingRelease)
        return;
    m_pendingRelease = false;
    uint vk = 0;
    bool extended = false;
    if (m_keys && X11KeycodeToVk(m_pendingCode, &vk, &extended))
        Q_EMIT keyInput(false, vk, extended, m_pendingTime);
}

void X11InputCapture::HandleEvent(const unsigned char *bytes, bool swapped)
{
    xEvent ev;
    memcpy(&ev, bytes, sizeof ev);
    const int type = ev.u.u.type & 0x7F;
    const uint code = ev.u.u.detail;
    uint time = ev.u.keyButtonPointer.time;
    int x = ev.u.keyButtonPointer.rootX, y = ev.u.keyButtonPointer.rootY;
    if (swapped) {
        time = Swap32(time);
        x = Swap16(x);
        y = Swap16(y);
    }
    if (type == KeyPress || type == KeyRelease) {
        // Auto-repeat comes as a release and a press of one key with one time stamp: drop both.
        if (m_pendingRelease && type == KeyPress && code == m_pendingCode && time == m_pendingTime) {
            m_pendingRelease = false;
            return;
        }
        FlushPendingRelease();
        if (type == KeyRelease) {
            m_pendingRelease = true;
            m_pendingCode = code;
            m_pendingTime = time;
            return;
        }
        uint vk = 0;
        bool extended = false;
        if (m_keys && X11KeycodeToVk(code, &vk, &extended))
            Q_EMIT keyInput(true, vk, extended, time);
        return;
    }
    FlushPendingRelease();
    if ((type == ButtonPress || type == ButtonRelease) && m_pointer) {
        uint message = 0, data = 0;
        if (X11ButtonToMessage(code, type == ButtonPress, &message, &data))
            Q_EMIT pointerInput(message, data, time, QPoint(x, y));
    }
}
