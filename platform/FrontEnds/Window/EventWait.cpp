#include "Window/EventWait.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <glib-unix.h>
#include <wayland-client.h>

#include <algorithm>

EventWait::EventWait(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info))
        return;
    int descriptor = -1;
    if (info.subsystem == SDL_SYSWM_X11) {
        descriptor = ConnectionNumber(info.info.x11.display);
    } else if (info.subsystem == SDL_SYSWM_WAYLAND) {
        m_wayland = info.info.wl.display;
        descriptor = wl_display_get_fd(m_wayland);
    }
    if (descriptor < 0)
        return;
    m_display =
        g_unix_fd_source_new(descriptor, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR));
    // Waking is all it is for: SDL reads the display itself.
    g_source_set_callback(
        m_display, [](gpointer) { return gboolean(G_SOURCE_CONTINUE); }, nullptr, nullptr);
    g_source_attach(m_display, nullptr);
}

EventWait::~EventWait() {
    if (m_display) {
        g_source_destroy(m_display);
        g_source_unref(m_display);
    }
}

void EventWait::wait(std::optional<std::chrono::milliseconds> deadline) {
    SDL_PumpEvents();
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        return;
    if (!m_display) {
        // A display whose connection SDL does not name: its own wait, GLib's sources after.
        SDL_WaitEventTimeout(nullptr, static_cast<int>(deadline ? deadline->count() : 100));
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        return;
    }
    GSource* timer = nullptr;
    if (deadline) {
        const auto milliseconds =
            std::clamp<std::chrono::milliseconds::rep>(deadline->count(), 0, 1 << 30);
        timer = g_timeout_source_new(static_cast<guint>(milliseconds));
        g_source_set_callback(
            timer, [](gpointer) { return gboolean(G_SOURCE_REMOVE); }, nullptr, nullptr);
        g_source_attach(timer, nullptr);
    }
    if (m_wayland)
        wl_display_flush(m_wayland);
    g_main_context_iteration(nullptr, TRUE);
    if (timer) {
        g_source_destroy(timer);
        g_source_unref(timer);
    }
}
