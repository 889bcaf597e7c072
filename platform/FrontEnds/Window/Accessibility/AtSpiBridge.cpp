#include "Window/Accessibility/AtSpiBridge.h"

#include "Window/Accessibility/AccessibleObjects.h"
#include "Window/SessionBus.h"

#include <atk-bridge.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace Objects = AccessibleObjects;

namespace {

// How long the bus is given to answer each question; the window goes on meanwhile.
constexpr gint busPatience = 5000;
// A screen reader that has just started listening registers many events at once; the
// window's focus is said again once they have settled.
constexpr guint settlingTime = 250;

// ATK asks its toolkit for the root, the listeners and its name through functions that take
// no data of their own: they reach the one bridge through this, and keep what they are given
// there.
AtSpiBridge* liveBridge = nullptr;

AtkObject* rootObject() {
    return liveBridge ? liveBridge->applicationObject() : nullptr;
}

const gchar* toolkitName() {
    return "UIKit";
}

const gchar* toolkitVersion() {
    return "1";
}

} // namespace

// "Gtk:AtkObject:state-change" is the signal state-change of AtkObject; "window:activate" the
// window's own activate.
guint AtSpiBridge::addEmissionHook(GSignalEmissionHook listener, const gchar* eventType) {
    if (!liveBridge)
        return 0;
    gchar** parts = g_strsplit(eventType, ":", 3);
    const guint count = g_strv_length(parts);
    GType type = 0;
    const char* signalName = nullptr;
    if (count == 2 && g_str_equal(parts[0], "window")) {
        type = g_type_from_name("PlatformAccessibleWindow");
        signalName = parts[1];
    } else if (count == 3) {
        type = g_type_from_name(parts[1]);
        signalName = parts[2];
    }
    guint signal = 0;
    if (type && G_TYPE_IS_INTERFACE(type))
        g_type_default_interface_unref(g_type_default_interface_ref(type));
    if (type)
        signal = g_signal_lookup(signalName, type);
    // Signals ATK does not have yet are the objects' own.
    if (!signal && signalName)
        signal = g_signal_lookup(signalName, g_type_from_name("PlatformAccessible"));
    guint id = 0;
    if (signal) {
        id = liveBridge->m_nextListener++;
        liveBridge->m_emissionHooks[id] = {
            signal, g_signal_add_emission_hook(signal, 0, listener, g_strdup(eventType), g_free)};
    }
    g_strfreev(parts);
    return id;
}

void AtSpiBridge::removeEmissionHook(guint id) {
    if (!liveBridge)
        return;
    auto& hooks = liveBridge->m_emissionHooks;
    if (const auto found = hooks.find(id); found != hooks.end()) {
        g_signal_remove_emission_hook(found->second.signal, found->second.hook);
        hooks.erase(found);
    }
}

guint AtSpiBridge::addKeyListener(AtkKeySnoopFunc listener, gpointer data) {
    if (!liveBridge)
        return 0;
    const guint id = liveBridge->m_nextListener++;
    liveBridge->m_keyListeners[id] = {listener, data};
    return id;
}

void AtSpiBridge::removeKeyListener(guint id) {
    if (liveBridge)
        liveBridge->m_keyListeners.erase(id);
}

void AtSpiBridge::becomeAtksToolkit() {
    auto* utility = ATK_UTIL_CLASS(g_type_class_ref(ATK_TYPE_UTIL));
    utility->add_global_event_listener = addEmissionHook;
    utility->remove_global_event_listener = removeEmissionHook;
    utility->add_key_event_listener = addKeyListener;
    utility->remove_key_event_listener = removeKeyListener;
    utility->get_root = rootObject;
    utility->get_toolkit_name = toolkitName;
    utility->get_toolkit_version = toolkitVersion;
}

namespace {

Objects::Kind kindOf(UIAccessibilityRole role) {
    switch (role) {
    case UIAccessibilityRole::TextField:
        return Objects::Kind::Entry;
    case UIAccessibilityRole::Button:
        return Objects::Kind::Button;
    case UIAccessibilityRole::Text:
    case UIAccessibilityRole::Heading:
    case UIAccessibilityRole::LiveRegion:
        return Objects::Kind::Text;
    case UIAccessibilityRole::Group:
        break;
    }
    return Objects::Kind::Plain;
}

AtkRole atkRole(UIAccessibilityRole role) {
    switch (role) {
    case UIAccessibilityRole::TextField:
        return ATK_ROLE_ENTRY;
    case UIAccessibilityRole::Button:
        return ATK_ROLE_PUSH_BUTTON;
    case UIAccessibilityRole::Text:
        return ATK_ROLE_LABEL;
    case UIAccessibilityRole::Heading:
        return ATK_ROLE_HEADING;
    case UIAccessibilityRole::LiveRegion:
        return ATK_ROLE_STATUSBAR;
    case UIAccessibilityRole::Group:
        break;
    }
    return ATK_ROLE_PANEL;
}

gint characters(const std::string& text) {
    return static_cast<gint>(g_utf8_strlen(text.c_str(), -1));
}

void emitTextChange(AtkObject* object, const std::string& before, const std::string& after) {
    std::size_t common = 0;
    while (common < before.size() && common < after.size() && before[common] == after[common])
        ++common;
    // Back to the start of a character.
    while (common > 0 && (static_cast<unsigned char>(before[common]) & 0xC0) == 0x80)
        --common;
    const gint at = characters(before.substr(0, common));
    if (common < before.size()) {
        const std::string removed = before.substr(common);
        g_signal_emit_by_name(object, "text-remove::system", at, characters(removed),
                              removed.c_str());
    }
    if (common < after.size()) {
        const std::string inserted = after.substr(common);
        g_signal_emit_by_name(object, "text-insert::system", at, characters(inserted),
                              inserted.c_str());
    }
    g_signal_emit_by_name(object, "text-caret-moved", characters(after));
}

} // namespace

// The application, its window, or a notification: fixed names and whatever children the
// bridge gives them.
class AtSpiBridge::FixedNode : public Objects::Node {
  public:
    enum class Role { Application, Window, Notification };
    FixedNode(AtSpiBridge& bridge, Role role, std::string name)
        : m_bridge(bridge), m_role(role), m_name(std::move(name)),
          m_object(
              Objects::make(role == Role::Window ? Objects::Kind::Window : Objects::Kind::Plain,
                            role == Role::Application ? ATK_ROLE_APPLICATION
                            : role == Role::Window    ? ATK_ROLE_FRAME
                                                      : ATK_ROLE_NOTIFICATION,
                            *this)) {}
    ~FixedNode() override {
        Objects::detach(m_object);
        g_object_unref(m_object);
    }
    FixedNode(const FixedNode&) = delete;
    FixedNode& operator=(const FixedNode&) = delete;

    AtkObject* object() const { return m_object; }

    const std::string& name() const override { return m_name; }
    const std::string& description() const override { return m_nothing; }
    const std::string& text() const override { return m_nothing; }
    std::vector<AtkObject*> children() const override {
        switch (m_role) {
        case Role::Application:
            return {m_bridge.m_frame->object()};
        case Role::Window:
            return m_bridge.windowChildren();
        case Role::Notification:
            break;
        }
        return {};
    }
    void addStates(AtkStateSet* states) const override {
        if (m_role == Role::Application)
            return;
        for (const auto state :
             {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_VISIBLE, ATK_STATE_SHOWING})
            atk_state_set_add_state(states, state);
        if (m_role == Role::Window) {
            atk_state_set_add_state(states, ATK_STATE_RESIZABLE);
            if (m_bridge.isWindowActive())
                atk_state_set_add_state(states, ATK_STATE_ACTIVE);
        }
    }
    std::vector<std::pair<std::string, std::string>> attributes() const override {
        if (m_role == Role::Notification)
            return {{"container-live", "polite"}, {"live", "polite"}};
        return {};
    }
    AtkRectangle extents(AtkCoordType coordinates) const override {
        if (m_role == Role::Application)
            return {-1, -1, 0, 0};
        const AtkRectangle area = m_bridge.m_window.areaOnScreen();
        if (coordinates == ATK_XY_SCREEN)
            return area;
        return {0, 0, area.width, area.height};
    }
    bool grabFocus() override { return false; }
    bool activate() override { return false; }
    bool setText(std::string) override { return false; }

  private:
    AtSpiBridge& m_bridge;
    Role m_role;
    std::string m_name;
    std::string m_nothing;
    AtkObject* m_object;
};

// One thing the screen reads out, as the last tree gave it.
class AtSpiBridge::ElementNode : public Objects::Node {
  public:
    ElementNode(AtSpiBridge& bridge, UIAccessibilityReading reading, AtkObject* parent)
        : m_bridge(bridge), m_reading(std::move(reading)),
          m_object(Objects::make(kindOf(m_reading.element.role), atkRole(m_reading.element.role),
                                 *this)) {
        atk_object_set_parent(m_object, parent);
    }
    ~ElementNode() override {
        Objects::detach(m_object);
        g_object_unref(m_object);
    }
    ElementNode(const ElementNode&) = delete;
    ElementNode& operator=(const ElementNode&) = delete;

    AtkObject* object() const { return m_object; }
    const UIAccessibilityReading& reading() const { return m_reading; }
    void setReading(UIAccessibilityReading reading) { m_reading = std::move(reading); }

    // A live region is called by what it says; the rest by their labels.
    const std::string& name() const override {
        return m_reading.element.role == UIAccessibilityRole::LiveRegion ? m_reading.text
                                                                         : m_reading.element.label;
    }
    const std::string& description() const override { return m_reading.element.hint; }
    const std::string& text() const override { return m_reading.text; }
    std::vector<AtkObject*> children() const override { return {}; }
    void addStates(AtkStateSet* states) const override {
        const auto& element = m_reading.element;
        const bool isControl = element.role == UIAccessibilityRole::Button ||
                               element.role == UIAccessibilityRole::TextField;
        // A control that cannot be reached now (a key of no keyboard) is shown disabled.
        if (!isControl || element.isActivatable) {
            atk_state_set_add_state(states, ATK_STATE_ENABLED);
            atk_state_set_add_state(states, ATK_STATE_SENSITIVE);
        }
        atk_state_set_add_state(states, ATK_STATE_VISIBLE);
        const AtkRectangle area = m_bridge.m_window.areaOnScreen();
        const AtkRectangle box = extents(ATK_XY_WINDOW);
        if (box.x < area.width && box.y < area.height && box.x + box.width > 0 &&
            box.y + box.height > 0)
            atk_state_set_add_state(states, ATK_STATE_SHOWING);
        if (element.isFocusable)
            atk_state_set_add_state(states, ATK_STATE_FOCUSABLE);
        if (element.isFocused)
            atk_state_set_add_state(states, ATK_STATE_FOCUSED);
        if (element.role == UIAccessibilityRole::TextField) {
            atk_state_set_add_state(states, ATK_STATE_EDITABLE);
            atk_state_set_add_state(states, ATK_STATE_SINGLE_LINE);
        }
    }
    std::vector<std::pair<std::string, std::string>> attributes() const override {
        switch (m_reading.element.role) {
        case UIAccessibilityRole::Heading:
            return {{"level", "1"}};
        case UIAccessibilityRole::LiveRegion:
            return {{"container-live", "polite"}, {"live", "polite"}};
        default:
            return {};
        }
    }
    AtkRectangle extents(AtkCoordType coordinates) const override {
        return m_bridge.pixels(m_reading.element.frame, coordinates);
    }
    bool grabFocus() override {
        return m_reading.element.isFocusable && m_bridge.request(Request::Focus, m_reading.key);
    }
    bool activate() override {
        return m_reading.element.isActivatable &&
               m_bridge.request(Request::Activate, m_reading.key);
    }
    bool setText(std::string text) override {
        return m_reading.element.role == UIAccessibilityRole::TextField &&
               m_bridge.request(Request::SetText, m_reading.key, std::move(text));
    }

  private:
    AtSpiBridge& m_bridge;
    UIAccessibilityReading m_reading;
    AtkObject* m_object;
};

std::unique_ptr<AtSpiBridge> AtSpiBridge::start(UIHostSession& session, const AtSpiWindow& window,
                                                std::string applicationName) {
    if (const char* off = std::getenv("NO_AT_BRIDGE"); off && std::string_view(off) == "1")
        return nullptr;
    const char* known = std::getenv("AT_SPI_BUS_ADDRESS");
    const auto sessionAddress = SessionBus::address();
    if (!(known && *known) && !sessionAddress)
        return nullptr;
    auto bridge = std::make_unique<AtSpiBridge>(session, window, std::move(applicationName));
    if (known && *known)
        bridge->openAccessibilityBus(known);
    else
        bridge->askForAccessibilityBus(*sessionAddress);
    return bridge;
}

AtSpiBridge::AtSpiBridge(UIHostSession& session, const AtSpiWindow& window,
                         std::string applicationName)
    : m_session(session), m_window(window), m_cancellable(g_cancellable_new()) {
    m_application = std::make_unique<FixedNode>(*this, FixedNode::Role::Application,
                                                std::move(applicationName));
    m_frame = std::make_unique<FixedNode>(*this, FixedNode::Role::Window, window.title());
    atk_object_set_parent(m_frame->object(), m_application->object());
}

AtSpiBridge::~AtSpiBridge() {
    g_cancellable_cancel(m_cancellable);
    if (m_repeatTimer)
        g_source_remove(m_repeatTimer);
    if (m_registrations)
        g_dbus_connection_signal_unsubscribe(m_accessibilityBus, m_registrations);
    if (m_ready)
        atk_bridge_adaptor_cleanup();
    m_elements.clear();
    m_notification.reset();
    m_frame.reset();
    m_application.reset();
    if (liveBridge == this)
        liveBridge = nullptr;
    for (auto* bus : {m_sessionBus, m_accessibilityBus})
        if (bus)
            g_object_unref(bus);
    g_object_unref(m_cancellable);
}

// One question for a bus, asked without waiting once connected: the connection is kept, and
// the answer handed on. A failure (no bus, no answer, the bridge gone) leaves things as they
// are: the window goes on without a bridge.
struct AtSpiBridge::Question {
    AtSpiBridge* bridge;
    GDBusConnection** bus;
    const char* destination;
    const char* path;
    const char* interface;
    const char* method;
    void (*answered)(AtSpiBridge&, GVariant*);
};

void AtSpiBridge::ask(const std::string& address, Question question) {
    const auto flags =
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    g_dbus_connection_new_for_address(
        address.c_str(), flags, nullptr, m_cancellable,
        [](GObject*, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Question> question(static_cast<Question*>(data));
            GError* error = nullptr;
            GDBusConnection* bus = g_dbus_connection_new_for_address_finish(result, &error);
            if (!bus) {
                g_error_free(error);
                return;
            }
            *question->bus = bus;
            // Handed on to the reply, which owns it from here.
            Question* asked = question.release();
            g_dbus_connection_call(
                bus, asked->destination, asked->path, asked->interface, asked->method, nullptr,
                nullptr, G_DBUS_CALL_FLAGS_NONE, busPatience, asked->bridge->m_cancellable,
                [](GObject* source, GAsyncResult* reply, gpointer data) {
                    const std::unique_ptr<Question> question(static_cast<Question*>(data));
                    GError* error = nullptr;
                    GVariant* answer =
                        g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), reply, &error);
                    if (!answer) {
                        g_error_free(error);
                        return;
                    }
                    question->answered(*question->bridge, answer);
                    g_variant_unref(answer);
                },
                asked);
        },
        std::make_unique<Question>(question).release());
}

// The session's bus knows where the accessibility bus is.
void AtSpiBridge::askForAccessibilityBus(const std::string& sessionAddress) {
    ask(sessionAddress, {this, &m_sessionBus, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                         "GetAddress", [](AtSpiBridge& bridge, GVariant* answer) {
                             const gchar* address = nullptr;
                             if (g_variant_is_of_type(answer, G_VARIANT_TYPE("(s)"))) {
                                 g_variant_get(answer, "(&s)", &address);
                                 bridge.openAccessibilityBus(address);
                             }
                         }});
}

// ATK's bridge asks the accessibility bus as it starts, and would wait for it: it is started
// only once the bus and its registry have answered.
void AtSpiBridge::openAccessibilityBus(std::string address) {
    m_accessibilityBusAddress = std::move(address);
    ask(m_accessibilityBusAddress,
        {this, &m_accessibilityBus, "org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
         "org.a11y.atspi.Registry", "GetRegisteredEvents",
         [](AtSpiBridge& bridge, GVariant*) { bridge.bridgeReady(); }});
}

void AtSpiBridge::bridgeReady() {
    if (liveBridge)
        return; // ATK has one toolkit, and it is taken
    liveBridge = this;
    // Where the bridge's own library would otherwise ask the session's bus again, and wait.
    g_setenv("AT_SPI_BUS_ADDRESS", m_accessibilityBusAddress.c_str(), TRUE);
    becomeAtksToolkit();
    update();
    if (atk_bridge_adaptor_init(nullptr, nullptr) != 0) {
        liveBridge = nullptr;
        return;
    }
    m_ready = true;
    listenForScreenReaders();
    g_signal_emit_by_name(m_frame->object(), "create");
    repeatWhereTheFocusIs();
}

void AtSpiBridge::listenForScreenReaders() {
    m_registrations = g_dbus_connection_signal_subscribe(
        m_accessibilityBus, nullptr, "org.a11y.atspi.Registry", "EventListenerRegistered",
        "/org/a11y/atspi/registry", nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
           gpointer data) {
            auto* bridge = static_cast<AtSpiBridge*>(data);
            if (bridge->m_repeatTimer)
                g_source_remove(bridge->m_repeatTimer);
            bridge->m_repeatTimer = g_timeout_add(
                settlingTime,
                [](gpointer data) {
                    auto* bridge = static_cast<AtSpiBridge*>(data);
                    bridge->m_repeatTimer = 0;
                    bridge->repeatWhereTheFocusIs();
                    return G_SOURCE_REMOVE;
                },
                bridge);
        },
        this, nullptr);
}

void AtSpiBridge::repeatWhereTheFocusIs() {
    if (!m_ready || !m_windowActive)
        return;
    g_signal_emit_by_name(m_frame->object(), "activate");
    atk_object_notify_state_change(m_frame->object(), ATK_STATE_ACTIVE, TRUE);
    for (const auto& element : m_elements)
        if (element->reading().element.isFocused)
            atk_object_notify_state_change(element->object(), ATK_STATE_FOCUSED, TRUE);
}

void AtSpiBridge::setWindowActive(bool active) {
    if (active == m_windowActive)
        return;
    m_windowActive = active;
    if (!m_ready)
        return;
    if (active) {
        repeatWhereTheFocusIs();
        return;
    }
    atk_object_notify_state_change(m_frame->object(), ATK_STATE_ACTIVE, FALSE);
    g_signal_emit_by_name(m_frame->object(), "deactivate");
}

AtkObject* AtSpiBridge::applicationObject() const {
    return m_application->object();
}

std::vector<AtkObject*> AtSpiBridge::windowChildren() const {
    std::vector<AtkObject*> children;
    for (const auto& element : m_elements)
        children.push_back(element->object());
    if (m_notificationShown)
        children.push_back(m_notification->object());
    return children;
}

AtkRectangle AtSpiBridge::pixels(CGRect points, AtkCoordType coordinates) const {
    const double scale = m_window.pixelsPerPoint();
    const auto round = [](double value) { return static_cast<gint>(std::lround(value)); };
    AtkRectangle rect{round(points.origin.x * scale), round(points.origin.y * scale),
                      round(points.size.width * scale), round(points.size.height * scale)};
    if (coordinates == ATK_XY_SCREEN) {
        const AtkRectangle area = m_window.areaOnScreen();
        rect.x += area.x;
        rect.y += area.y;
    }
    return rect;
}

bool AtSpiBridge::request(Request request, const std::string& key, std::string text) {
    m_pending.push_back({request, key, std::move(text)});
    return true;
}

void AtSpiBridge::carryOutRequests() {
    auto pending = std::move(m_pending);
    m_pending.clear();
    for (const auto& [request, key, text] : pending) {
        // Found again by its key: what was asked for may have moved since.
        const auto readings = UIAccessibilityReadingOrder(UIAccessibilityTree(m_session.window()));
        const auto found = std::find_if(readings.begin(), readings.end(),
                                        [&](const auto& reading) { return reading.key == key; });
        if (found == readings.end())
            continue;
        switch (request) {
        case Request::Activate:
            m_session.activateAccessibilityElement(found->path);
            break;
        case Request::Focus:
            m_session.focusAccessibilityElement(found->path);
            break;
        case Request::SetText:
            m_session.setAccessibilityElementText(found->path, text);
            break;
        }
    }
}

void AtSpiBridge::announce(const UIAccessibilityReading& reading, AtkObject* source) {
    if (reading.text.empty())
        return;
    Objects::announce(source, reading.text);
    // A new notification each time, so that the same answer again is heard again.
    if (m_notificationShown) {
        g_signal_emit_by_name(m_frame->object(), "children-changed::remove",
                              static_cast<gint>(m_elements.size()), m_notification->object());
    }
    m_notification =
        std::make_unique<FixedNode>(*this, FixedNode::Role::Notification, reading.text);
    atk_object_set_parent(m_notification->object(), m_frame->object());
    m_notificationShown = true;
    g_signal_emit_by_name(m_frame->object(), "children-changed::add",
                          static_cast<gint>(m_elements.size()), m_notification->object());
    atk_object_notify_state_change(m_notification->object(), ATK_STATE_SHOWING, TRUE);
}

void AtSpiBridge::update() {
    auto readings = UIAccessibilityReadingOrder(UIAccessibilityTree(m_session.window()));
    const bool speaking = m_ready;
    std::map<std::string, std::unique_ptr<ElementNode>> kept;
    // What went away, from the end so that each index is still right when said.
    for (std::size_t index = m_elements.size(); index-- > 0;) {
        auto& element = m_elements[index];
        const auto& key = element->reading().key;
        const bool stays = std::any_of(readings.begin(), readings.end(), [&](const auto& reading) {
            return reading.key == key && reading.element.role == element->reading().element.role;
        });
        if (!stays && speaking)
            g_signal_emit_by_name(m_frame->object(), "children-changed::remove",
                                  static_cast<gint>(index), element->object());
        if (stays)
            kept[key] = std::move(element);
    }
    // The last notification has been heard; it leaves with the next change.
    if (m_notificationShown && speaking)
        g_signal_emit_by_name(m_frame->object(), "children-changed::remove",
                              static_cast<gint>(m_elements.size()), m_notification->object());
    m_notificationShown = false;
    m_elements.clear();

    std::vector<AtkObject*> losingFocus, gainingFocus;
    std::vector<std::pair<UIAccessibilityReading, AtkObject*>> announcements;
    for (auto& reading : readings) {
        const auto found = kept.find(reading.key);
        if (found == kept.end()) {
            auto element = std::make_unique<ElementNode>(*this, reading, m_frame->object());
            if (speaking) {
                g_signal_emit_by_name(m_frame->object(), "children-changed::add",
                                      static_cast<gint>(m_elements.size()), element->object());
                if (reading.element.isFocused)
                    gainingFocus.push_back(element->object());
                if (reading.element.role == UIAccessibilityRole::LiveRegion)
                    announcements.emplace_back(reading, element->object());
            }
            m_elements.push_back(std::move(element));
            continue;
        }
        auto element = std::move(found->second);
        const auto before = element->reading();
        element->setReading(reading);
        if (speaking) {
            AtkObject* object = element->object();
            const auto& was = before.element;
            const auto& is = reading.element;
            if (was.label != is.label ||
                (is.role == UIAccessibilityRole::LiveRegion && before.text != reading.text))
                g_object_notify(G_OBJECT(object), "accessible-name");
            if (was.hint != is.hint)
                g_object_notify(G_OBJECT(object), "accessible-description");
            if (before.text != reading.text)
                emitTextChange(object, before.text, reading.text);
            if (was.isActivatable != is.isActivatable) {
                atk_object_notify_state_change(object, ATK_STATE_ENABLED, is.isActivatable);
                atk_object_notify_state_change(object, ATK_STATE_SENSITIVE, is.isActivatable);
            }
            if (was.isFocused && !is.isFocused)
                losingFocus.push_back(object);
            if (!was.isFocused && is.isFocused)
                gainingFocus.push_back(object);
            if (is.role == UIAccessibilityRole::LiveRegion && was.announcements != is.announcements)
                announcements.emplace_back(reading, object);
        }
        m_elements.push_back(std::move(element));
    }
    // The focus leaves one element before it reaches the next, as a screen reader expects.
    for (AtkObject* object : losingFocus)
        atk_object_notify_state_change(object, ATK_STATE_FOCUSED, FALSE);
    for (AtkObject* object : gainingFocus)
        atk_object_notify_state_change(object, ATK_STATE_FOCUSED, TRUE);
    for (const auto& [reading, object] : announcements)
        announce(reading, object);
}

bool AtSpiBridge::keyTaken(const AtSpiKey& key) {
    if (!m_ready)
        return false;
    AtkKeyEventStruct event{};
    event.type = key.pressed ? ATK_KEY_EVENT_PRESS : ATK_KEY_EVENT_RELEASE;
    event.state = key.modifiers;
    event.keyval = key.keysym;
    event.length = static_cast<gint>(key.text.size());
    std::string text = key.text;
    event.string = text.data();
    event.keycode = static_cast<guint16>(key.keycode);
    event.timestamp = key.time;
    bool taken = false;
    // A listener may add or remove listeners: the ones there now are asked.
    const auto listeners = m_keyListeners;
    for (const auto& [id, listener] : listeners)
        taken = listener.first(&event, listener.second) || taken;
    return taken;
}
