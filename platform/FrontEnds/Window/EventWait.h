#pragma once

#include <SDL.h>
#include <glib.h>

#include <chrono>
#include <optional>

// Sleeps until the display has something for SDL, GLib's sources (a screen reader's bus) have
// something, or a deadline passes, whichever comes first: one wait on both, so that an idle
// window costs no CPU whether or not a screen reader is attached.
class EventWait {
  public:
    explicit EventWait(SDL_Window* window);
    ~EventWait();
    EventWait(const EventWait&) = delete;
    EventWait& operator=(const EventWait&) = delete;

    // Returns at once when SDL already holds events.
    void wait(std::optional<std::chrono::milliseconds> deadline);

  private:
    GSource* m_display = nullptr;
    // Wayland's requests wait in its library until flushed; X's are flushed by SDL.
    struct wl_display* m_wayland = nullptr;
};
