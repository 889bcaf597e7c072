#pragma once

#include "Drawing/DisplayList.h"
#include "Drawing/TextMeasurer.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIGeometry.h"
#include "UIKit/UIWindow.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// The keys of a hardware keyboard that do something beyond typing.
enum class UIKey {
    Tab,
    ShiftTab,
    Enter,
    Space,
    Escape,
    Backspace,
    Up,
    Down,
    PageUp,
    PageDown,
    Delete
};
// The last of them, for a front end that is handed them by number.
inline constexpr UIKey UIKeyLast = UIKey::Delete;

// What was held with a key. Shift only makes Tab Shift-Tab (a character comes already
// capitalized); Ctrl, Alt or Meta make it a shortcut, most of them the host's.
struct UIKeyModifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool meta = false;

    bool makesShortcut() const { return control || alt || meta; }
};

// How far one step of a mouse's wheel, or an arrow key, scrolls.
inline constexpr CGFloat UIScrollLineHeight = 40;

// What a scroll is counted in: points, lines (a wheel's step, an arrow key) or pages (the
// room shown, less a line of what was in sight, so that a reader keeps their place).
enum class UIScrollUnit { Points, Lines, Pages };

// What Tab past the last of the focus ring (or Shift-Tab before the first) does: come round
// to the other end, as on a phone, or hand the keyboard's focus back to the host, as a web
// page's last element does to the browser.
enum class UIFocusRingEnds { Wrap, HandBack };

// Which of the session's calls a front end makes. A call it did not declare is a programming
// error, so that the list stays true; what a front end lacks, it says here.
struct UIHostFeatures {
    bool touches = false;       // touch(): a finger, a mouse, a click
    bool hardwareKeys = false;  // pressKey()
    bool textInput = false;     // insertText(): typed characters, a paste
    bool screenChanges = false; // setScreen() while running: resizing, a new scale
    bool lifeCycle = false;     // setApplicationState(): focus, minimizing, a hidden page
    bool safeAreas = false;     // setScreen() with insets other than zero
    bool wheel = false;         // scrollWheel(): a mouse's wheel, a touchpad's two fingers
    bool screenReader = false;  // activate, focus and set the text of accessibility elements
    bool timers = false;        // fireTimers(): waits no longer than timeUntilNextTimer()
    UIFocusRingEnds ringEnds = UIFocusRingEnds::Wrap;
};

// What a front end may do to a running application, and all it needs to do: tell it of the
// screen, of touches, keys and text, and of the life cycle, and show the frames it hands
// out. What each of those means (what a key does, what takes focus, when a frame is due) is
// decided here once, so that every front end behaves alike.
class UIHostSession {
  public:
    UIHostSession(UIApplication& application, UIWindow& window);

    UIApplication& application() { return m_application; }
    UIWindow& window() { return m_window; }
    const UIHostFeatures& features() const { return m_features; }
    // The front end's list of what it does; none until then.
    void declareFeatures(UIHostFeatures features) { m_features = features; }

    // The screen's size in points, the size of a pixel in points, and what its hardware
    // covers; the window follows.
    void setScreen(CGSize points, CGSize pointsPerPixel, UIEdgeInsets safeArea = {});
    // How the painter that draws the frames measures text: the next frame's texts are laid
    // out with it.
    void setTextMeasurer(std::shared_ptr<Drawing::TextMeasurer> measurer);
    // The faces the measurer measures with changed (a font file arrived after the first
    // frame): the next frame's texts are measured and laid out again.
    void textFacesChanged();

    // The frame to show when anything changed since the last one was taken (pending display
    // passes run first); empty when nothing did.
    std::optional<Drawing::DisplayList> takeFrameIfChanged();
    // The frame as it stands, whether or not anything changed.
    Drawing::DisplayList takeFrame();
    // The frame as a touch screen shows it: without the focus ring, which only a hardware
    // keyboard's user is shown.
    Drawing::DisplayList takeTouchScreenFrame();
    // The display pass a frame runs, for a front end that shows nothing (a script): what
    // drawing does happens, and the frame is counted as shown without being described.
    void passFrame();

    void setApplicationState(UIApplicationState state);

    // How long until something the application scheduled is due (a held delete key's next
    // deletion); none while nothing is. A front end waits for events no longer than that.
    std::optional<std::chrono::milliseconds> timeUntilNextTimer() const;
    // Runs what is due now.
    void fireTimers();

    void touch(UITouchPhase phase, CGPoint point);
    // What a pointer (a mouse, not a finger) at the point should look like: what the view a
    // touch there would reach, or the nearest view holding it, asks for.
    UICursor cursorAt(CGPoint point);

    // The wheel turned over a point: the content there scrolls by that many points, lines or
    // pages (down the content when positive). False when nothing there scrolled.
    bool scrollWheel(CGPoint point, CGFloat amount, UIScrollUnit unit);
    // A UI test runner's tap on a view: it is scrolled into sight, then touched at its center,
    // unless something lies on top of it there. What covers it, or null when it was tapped.
    std::shared_ptr<UIView> tapView(UIView& view);
    // A screen reader activates one of the accessibility tree's elements, named by the
    // places of its element and those above it among their siblings: it is scrolled into
    // sight, then tapped if nothing covers it. False when it could not be.
    bool activateAccessibilityElement(const std::vector<std::size_t>& path);
    // A screen reader moves the focus to an element: a field starts being edited, a button is
    // ringed, either scrolled into sight. False when the element cannot take the focus.
    bool focusAccessibilityElement(const std::vector<std::size_t>& path);
    // A screen reader, an input method or dictation sets a field's whole text: the field is
    // edited, emptied and typed into, as a person would. False when the element takes no
    // text.
    bool setAccessibilityElementText(const std::vector<std::size_t>& path, std::string_view text);

    // What a key does: Tab and Shift-Tab move through the shown fields and buttons (a field by
    // editing it, a button by the focus ring, either scrolled into sight; past either end as
    // the host's ringEnds say); Enter taps the bar on top of the keyboard while it is up, else
    // presses the ringed button; Space types a space into the field being edited, else
    // presses the ringed button; Escape ends editing; Backspace and Delete delete (a field's
    // caret is at its end, so both take the character before it, as the keypad's Delete
    // does), with Ctrl or Alt too; the arrows scroll the content a line, the page keys a
    // screen. Any other key with Ctrl, Alt or Meta is a shortcut of the host's (a browser's
    // tabs, a desktop's windows). False when the key was left to the host.
    bool pressKey(UIKey key, UIKeyModifiers held = {});
    // A key that types (its text, as the keyboard's layout makes it). While a field is being
    // edited it types there, and Ctrl-C ends editing, as Escape does; while none is, a
    // letter is a command, not typing (q quits a terminal), and any other text starts on the
    // first field. Other shortcuts (Ctrl-Q, Ctrl-V) are the host's. False when the key was
    // left to the host.
    bool typeKey(std::string_view text, UIKeyModifiers held = {});
    // Text from a hardware keyboard, a paste or an input method: into the field being edited,
    // or the first field when none is. A lone space with no field being edited is the Space
    // key, so that a front end whose keyboard reports both never does both. False when
    // nothing took it.
    bool insertText(std::string_view text);
    // The keyboard's focus left the application (a host's own control took it): editing ends
    // and nothing stays ringed, as Tab past the ring's end does for a host that takes it back.
    void resignFocus();

  private:
    void require(bool declared, const char* feature) const;
    Drawing::DisplayList describeFrame();

    UIApplication& m_application;
    UIWindow& m_window;
    UIHostFeatures m_features;
    // A screen set again is a change of it, which a front end declares.
    bool m_screenSet = false;
};
