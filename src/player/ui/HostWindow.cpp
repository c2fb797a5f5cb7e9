#include "HostWindow.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#if defined(LUMERIX_PLAYER_XCB)
#include <xcb/xcb.h>
#endif

#include <cstdlib>
#include <optional>

namespace Lumerix {

namespace {

// The size of X window `id`, or nothing when there is no such window. Asked of the X server
// directly: a foreign QWindow does not know its size, and a wrong id must not reach Qt.
std::optional<QSize> HostSize(quint64 id) {
#if defined(LUMERIX_PLAYER_XCB)
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, xcb_window_t(id)), &error);
    std::free(error);
    if (!reply)
        return std::nullopt;
    const QSize size(reply->width, reply->height);
    std::free(reply);
    if (size.isEmpty())
        return std::nullopt;
    return size;
#else
    Q_UNUSED(id);
    return std::nullopt;
#endif
}

} // namespace

bool ShowInHostWindow(QWidget& window, quint64 id) {
    if (id == 0 || id > 0xFFFFFFFFu || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    const std::optional<QSize> size = HostSize(id);
    if (!size)
        return false;
    QWindow* host = QWindow::fromWinId(WId(id));
    if (!host)
        return false;
    window.setAttribute(Qt::WA_NativeWindow);
    window.winId();
    QWindow* handle = window.windowHandle();
    if (!handle) {
        delete host;
        return false;
    }
    handle->setParent(host);
    window.setGeometry(0, 0, size->width(), size->height());
    window.show();
    // The host may change its window's size (a preview that grows); follow it.
    auto* follow = new QTimer(&window);
    QObject::connect(follow, &QTimer::timeout, &window, [id, &window] {
        const std::optional<QSize> now = HostSize(id);
        if (now && *now != window.size())
            window.setGeometry(0, 0, now->width(), now->height());
    });
    follow->start(1000);
    return true;
}

} // namespace Lumerix
