#include "app/outerwidth.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace duva
{

namespace
{

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Qt's connection to the X server; none on other platforms.
xcb_connection_t* x11()
{
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const auto* native = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return native ? native->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, false, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

struct Atoms {
    xcb_atom_t frameExtents;
    xcb_atom_t requestFrameExtents;
    xcb_atom_t supported;
};

// The program has one X connection for its whole run.
const Atoms& atoms(xcb_connection_t* c)
{
    static const Atoms known{internAtom(c, "_NET_FRAME_EXTENTS"),
                             internAtom(c, "_NET_REQUEST_FRAME_EXTENTS"),
                             internAtom(c, "_NET_SUPPORTED")};
    return known;
}

Reply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                         xcb_atom_t type, uint32_t length)
{
    return Reply<xcb_get_property_reply_t>(xcb_get_property_reply(
        c, xcb_get_property(c, false, window, name, type, 0, length), nullptr));
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window)
{
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    return tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
}

bool windowManagerSupports(xcb_connection_t* c, xcb_window_t root, xcb_atom_t feature)
{
    const auto list = property(c, root, atoms(c).supported, XCB_ATOM_ATOM, 1024);
    if (!list || list->type != XCB_ATOM_ATOM || list->format != 32)
        return false;
    const auto* begin = static_cast<const xcb_atom_t*>(xcb_get_property_value(list.get()));
    const auto* end = begin + xcb_get_property_value_length(list.get()) / 4;
    return std::find(begin, end, feature) != end;
}

// Long enough for a window manager's answer, short enough not to be noticed at start-up.
constexpr int frameAnswerWaitMs = 200;

} // namespace

// Watches the sizes that the window system reports for the window.
// - A width changed twice in quick succession (Alt+F3 pressed twice) can end with the window
//   system holding the first of the two: under weston's Xwayland the window stayed 630 px wide
//   while its fixed width was 514. Qt takes the reported width as it is, so the fixed width is
//   asked for again, a few times at most for each width set, never in a fight without end.
// - Qt's Wayland platform decorates the window while showing it, after the width was set
//   (ShowToParent comes once it is on screen): the same outer width again, the frame counted.
class OuterWidth::SizeWatch : public QObject
{
public:
    explicit SizeWatch(OuterWidth& owner) : m_owner(owner)
    {
        owner.m_window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (m_owner.m_width == 0)
            return false;
        if (!x11() &&
            (type == QEvent::ShowToParent || type == QEvent::Move || type == QEvent::Resize) &&
            m_owner.frameWidth() != m_owner.m_frameApplied)
            m_owner.set(m_owner.m_width);
        else if (type == QEvent::Resize && m_owner.m_reapplied < maxReapplied)
            QTimer::singleShot(0, &m_owner.m_window, [this] { holdFixedWidth(); });
        return false;
    }

private:
    static constexpr int maxReapplied = 3;

    void holdFixedWidth()
    {
        QWidget& window = m_owner.m_window;
        const int fixed = window.maximumWidth();
        if (window.minimumWidth() != fixed || window.width() == fixed ||
            m_owner.m_reapplied >= maxReapplied)
            return;
        ++m_owner.m_reapplied;
        window.resize(fixed, window.height());
    }

    OuterWidth& m_owner;
};

OuterWidth::OuterWidth(QWidget& window) : m_window(window)
{
    if (x11())
        QCoreApplication::instance()->installNativeEventFilter(this);
    m_sizeWatch = std::make_unique<SizeWatch>(*this);
}

OuterWidth::~OuterWidth()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

int OuterWidth::get() const
{
    // A fixed width is the window's width even while the change to it is still on its way
    // through the window system, and Qt still reports the width before it.
    const bool fixed = m_window.minimumWidth() == m_window.maximumWidth();
    return (fixed ? m_window.maximumWidth() : m_window.width()) + frameWidth();
}

void OuterWidth::set(int width)
{
    m_width = width;
    m_reapplied = 0;
    askForFrame();
    m_frameApplied = frameWidth();
    m_window.setFixedWidth(width - m_frameApplied);
}

int OuterWidth::frameWidth() const
{
    if (const std::optional<QMargins> frame = statedFrame())
        return frame->left() + frame->right();
    // On X11 a frame that the window manager does not state is not known. Qt's guess measures
    // the window the manager framed it in, and that can hold more than the frame: weston's
    // Xwayland draws a wide shadow in it, and the guess of 76 px left the client 438 px wide
    // at 514. So none is counted, and the client keeps at least the width set. Elsewhere Qt
    // knows the frame: it draws it itself (Wayland) or there is none (offscreen).
    if (x11())
        return 0;
    return m_window.frameGeometry().width() - m_window.width();
}

std::optional<QMargins> OuterWidth::statedFrame() const
{
    xcb_connection_t* c = x11();
    const xcb_window_t window = c ? xcb_window_t(m_window.internalWinId()) : 0;
    if (!window)
        return std::nullopt;
    const auto extents = property(c, window, atoms(c).frameExtents, XCB_ATOM_CARDINAL, 4);
    if (!extents || extents->type != XCB_ATOM_CARDINAL || extents->format != 32 ||
        xcb_get_property_value_length(extents.get()) != 16)
        return std::nullopt;
    // Left, right, top, bottom.
    const auto* e = static_cast<const uint32_t*>(xcb_get_property_value(extents.get()));
    return QMargins(int(e[0]), int(e[2]), int(e[1]), int(e[3]));
}

void OuterWidth::askForFrame()
{
    xcb_connection_t* c = x11();
    const xcb_window_t window = c ? xcb_window_t(m_window.internalWinId()) : 0;
    if (m_asked || !window || m_window.testAttribute(Qt::WA_Mapped))
        return;
    m_asked = true;
    const xcb_window_t root = rootOf(c, window);
    if (statedFrame() || !root || !windowManagerSupports(c, root, atoms(c).requestFrameExtents))
        return;

    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = window;
    request.type = atoms(c).requestFrameExtents;
    xcb_send_event(c, false, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&request));
    xcb_flush(c);
    QElapsedTimer waited;
    waited.start();
    while (!statedFrame() && waited.elapsed() < frameAnswerWaitMs)
        QThread::msleep(2);
}

bool OuterWidth::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (m_width == 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->window == m_window.internalWinId() && change->atom == atoms(x11()).frameExtents) {
        // The frame became known or changed: the same outer width again, once Qt has taken
        // in this event.
        QTimer::singleShot(0, &m_window, [this] { set(m_width); });
    }
    return false;
}

} // namespace duva
