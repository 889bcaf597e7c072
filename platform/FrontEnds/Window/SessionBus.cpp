#include "Window/SessionBus.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace SessionBus {
namespace {

// A healthy bus answers within a millisecond or two; a wedged one never does.
constexpr guint patience = 300;
// Fails at once, and launches nothing: a path under a file, which cannot be a socket.
constexpr const char* nowhere = "unix:path=/dev/null/no-bus";

// The connection attempt's outcome, shared with its callback, which may come after the
// attempt was given up.
struct Attempt {
    bool done = false;
    bool answered = false;
};

bool answersWithin(const std::string& bus, guint milliseconds) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    auto attempt = std::make_shared<Attempt>();
    const auto flags =
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    g_dbus_connection_new_for_address(
        bus.c_str(), flags, nullptr, nullptr,
        [](GObject*, GAsyncResult* result, gpointer data) {
            const std::unique_ptr<std::shared_ptr<Attempt>> attempt(
                static_cast<std::shared_ptr<Attempt>*>(data));
            GError* error = nullptr;
            if (GDBusConnection* connection =
                    g_dbus_connection_new_for_address_finish(result, &error)) {
                (*attempt)->answered = true;
                g_dbus_connection_close_sync(connection, nullptr, nullptr);
                g_object_unref(connection);
            } else {
                g_error_free(error);
            }
            (*attempt)->done = true;
        },
        std::make_unique<std::shared_ptr<Attempt>>(attempt).release());
    bool late = false;
    GSource* timer = g_timeout_source_new(milliseconds);
    g_source_set_callback(
        timer,
        [](gpointer data) {
            *static_cast<bool*>(data) = true;
            return gboolean(G_SOURCE_REMOVE);
        },
        &late, nullptr);
    g_source_attach(timer, context);
    while (!attempt->done && !late)
        g_main_context_iteration(context, TRUE);
    g_source_destroy(timer);
    g_source_unref(timer);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return attempt->answered;
}

} // namespace

std::optional<std::string> address() {
    if (const char* named = std::getenv("DBUS_SESSION_BUS_ADDRESS"); named && *named) {
        if (std::string_view(named).find("autolaunch:") != std::string_view::npos)
            return std::nullopt;
        return std::string(named);
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime)
        return std::nullopt;
    const std::string path = std::string(runtime) + "/bus";
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISSOCK(status.st_mode))
        return std::nullopt;
    gchar* escaped = g_dbus_address_escape_value(path.c_str());
    std::string found = std::string("unix:path=") + escaped;
    g_free(escaped);
    return found;
}

void setAsideUnlessItAnswers() {
    const auto bus = address();
    if (bus && answersWithin(*bus, patience))
        return;
    // The environment is the one place SDL's D-Bus library looks.
    setenv("DBUS_SESSION_BUS_ADDRESS", nowhere, 1);
}

} // namespace SessionBus
