#pragma once

#include "UIKit/UIAccessibility.h"
#include "UIKit/UIHostSession.h"

#include <atk/atk.h>
#include <gio/gio.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the bridge asks of the window it describes.
class AtSpiWindow {
  public:
    virtual ~AtSpiWindow() = default;
    virtual std::string title() const = 0;
    // Where the window's content lies on the screen, in pixels.
    virtual AtkRectangle areaOnScreen() const = 0;
    // The window's pixels per point.
    virtual double pixelsPerPoint() const = 0;
};

// A key as a screen reader's key listeners are shown it, before the screen gets it.
struct AtSpiKey {
    bool pressed = true;
    unsigned keysym = 0;  // X's name for the key
    unsigned keycode = 0; // the hardware's, where the display tells it; else 0
    unsigned modifiers = 0;
    std::string text; // what it types, or its name
    unsigned time = 0;
};

// The window for screen readers on the desktop's accessibility bus (AT-SPI, through ATK's
// bridge): the session's one accessibility tree as ATK objects, each change as the events a
// screen reader listens for, and what it asks for carried out through the session, between
// events. It only translates: what an element is, says and allows is UIKit's.
//
// It never delays the window: the bus is asked for in the background, after the first frame,
// and without one (or with NO_AT_BRIDGE=1) there is no bridge and nothing is said.
class AtSpiBridge {
  public:
    // Null when there is no session bus to ask, or the bridge is turned off.
    static std::unique_ptr<AtSpiBridge> start(UIHostSession& session, const AtSpiWindow& window,
                                              std::string applicationName);
    AtSpiBridge(UIHostSession& session, const AtSpiWindow& window, std::string applicationName);
    ~AtSpiBridge();
    AtSpiBridge(const AtSpiBridge&) = delete;
    AtSpiBridge& operator=(const AtSpiBridge&) = delete;

    // The tree as it stands now, compared with the last: what changed is said.
    void update();
    // What screen readers asked for since the last call, carried out in order.
    void carryOutRequests();
    // The window gained or lost the desktop's focus.
    void setWindowActive(bool active);
    // Offered to the screen reader's key listeners; true when one took it, so that the
    // screen does not get it too.
    bool keyTaken(const AtSpiKey& key);

    class ElementNode;
    class FixedNode;
    enum class Request { Activate, Focus, SetText };
    bool request(Request request, const std::string& key, std::string text = {});
    AtkRectangle pixels(CGRect points, AtkCoordType coordinates) const;
    std::vector<AtkObject*> windowChildren() const;
    AtkObject* applicationObject() const;
    bool isWindowActive() const { return m_windowActive; }

  private:
    struct Pending {
        Request request;
        std::string key;
        std::string text;
    };

    // ATK's toolkit functions: what the bridge it drives registers, kept by the live bridge.
    static void becomeAtksToolkit();
    static guint addEmissionHook(GSignalEmissionHook listener, const gchar* eventType);
    static void removeEmissionHook(guint id);
    static guint addKeyListener(AtkKeySnoopFunc listener, gpointer data);
    static void removeKeyListener(guint id);

    struct Question;
    void ask(const std::string& address, Question question);
    void askForAccessibilityBus(const std::string& sessionAddress);
    void openAccessibilityBus(std::string address);
    void bridgeReady();
    void listenForScreenReaders();
    // Said again, for a screen reader that has just started listening: which window is
    // active and what has the focus.
    void repeatWhereTheFocusIs();
    void announce(const UIAccessibilityReading& reading, AtkObject* source);

    UIHostSession& m_session;
    const AtSpiWindow& m_window;
    GCancellable* m_cancellable;
    GDBusConnection* m_sessionBus = nullptr;
    GDBusConnection* m_accessibilityBus = nullptr;
    std::string m_accessibilityBusAddress;
    guint m_registrations = 0;
    guint m_repeatTimer = 0;
    bool m_ready = false;
    bool m_windowActive = false;
    std::unique_ptr<FixedNode> m_application;
    std::unique_ptr<FixedNode> m_frame;
    std::vector<std::unique_ptr<ElementNode>> m_elements;
    // The last announcement, offered as a notification too for screen readers that hear
    // notifications but not announcements.
    std::unique_ptr<FixedNode> m_notification;
    bool m_notificationShown = false;
    std::vector<Pending> m_pending;
    struct EmissionHook {
        guint signal;
        gulong hook;
    };
    std::map<guint, EmissionHook> m_emissionHooks;
    std::map<guint, std::pair<AtkKeySnoopFunc, gpointer>> m_keyListeners;
    guint m_nextListener = 1;
};
