#pragma once

#include "FrontEnds/FrontEnd.h"

#include <optional>

// The phone screen in a desktop window (SDL2), drawn by the Cairo painter at the display's
// scale. The mouse touches; the physical keyboard types, Tab and Shift-Tab move between the
// fields, Enter taps Calculate, Escape ends editing, Ctrl-Q or closing the window quits.
// Sleeps between events: nothing is drawn unless something changed.
class WindowFrontEnd : public FrontEnd {
  public:
    // scale: pixels per point; empty for the display's own. exitAfterFirstFrame: for
    // measuring the time from start to the first frame on screen.
    WindowFrontEnd(std::optional<double> scale, bool exitAfterFirstFrame)
        : m_scale(scale), m_exitAfterFirstFrame(exitAfterFirstFrame) {}
    int run(UIApplication& application, UIWindow& window) override;

  private:
    std::optional<double> m_scale;
    bool m_exitAfterFirstFrame;
};
