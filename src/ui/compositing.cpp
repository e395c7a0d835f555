// Whether the desktop draws translucent top-level windows over what lies beneath them.
#include "ui/compositing.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

namespace lintrel {

namespace {

template <class Reply> struct Freed
{
    Reply *reply;
    ~Freed() { std::free(reply); }
};

bool x11CompositorRuns(xcb_connection_t *connection)
{
    // The screen of $DISPLAY, as xcb_connect chose it for Qt.
    int screen = 0;
    char *host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen))
        std::free(host);
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    // An atom nobody created yet means that no compositor ever ran on this server.
    const Freed<xcb_intern_atom_reply_t> atom{xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()),
        nullptr)};
    if (!atom.reply || atom.reply->atom == XCB_ATOM_NONE)
        return false;
    const Freed<xcb_get_selection_owner_reply_t> owner{xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, atom.reply->atom), nullptr)};
    return owner.reply && owner.reply->owner != XCB_WINDOW_NONE;
}

} // namespace

bool desktopDrawsTranslucentWindows()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 && x11->connection() && x11CompositorRuns(x11->connection());
    }
    // Framebuffer-like platforms (linuxfb, vnc, minimal) show transparency as black.
    return platform.startsWith(QLatin1String("wayland")) ||
           platform == QLatin1String("offscreen") || platform == QLatin1String("windows") ||
           platform == QLatin1String("cocoa") || platform == QLatin1String("eglfs");
}

} // namespace lintrel
