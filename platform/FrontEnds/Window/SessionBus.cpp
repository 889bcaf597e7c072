#include "Window/SessionBus.h"

#include <gio/gio.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace SessionBus {
namespace {

// A healthy bus answers within a millisecond or two; a wedged one never does.
constexpr int patience = 300;
// Fails at once, and launches nothing: a path under a file, which cannot be a socket.
constexpr const char* nowhere = "unix:path=/dev/null/no-bus";

// The socket an address names: a path, or a name in Linux's abstract namespace. Empty for
// other transports.
std::optional<sockaddr_un> socketOf(const std::string& bus) {
    gchar** entries = g_strsplit(bus.c_str(), ";", -1);
    std::optional<sockaddr_un> found;
    for (gchar** entry = entries; *entry && !found; ++entry) {
        if (std::string_view(*entry).substr(0, 5) != "unix:")
            continue;
        sockaddr_un socket{};
        socket.sun_family = AF_UNIX;
        const std::string_view rest = std::string_view(*entry).substr(5);
        for (const std::string_view key : {"path=", "abstract="}) {
            const auto at = rest.find(key);
            if (at == std::string_view::npos)
                continue;
            auto value = rest.substr(at + key.size());
            value = value.substr(0, value.find(','));
            gchar* unescaped = g_uri_unescape_string(std::string(value).c_str(), nullptr);
            const std::string name = unescaped ? unescaped : "";
            g_free(unescaped);
            const bool abstract = key == "abstract=";
            if (name.empty() || name.size() + 1 + abstract > sizeof socket.sun_path)
                continue;
            std::copy(name.begin(), name.end(), socket.sun_path + (abstract ? 1 : 0));
            found = socket;
            break;
        }
    }
    g_strfreev(entries);
    return found;
}

// Whether the bus takes a client: it answers a client's first word (its name, by the
// credentials the socket carries) within the time given. No thread, no library's own wait.
bool answersWithin(const std::string& bus, int milliseconds) {
    const auto address = socketOf(bus);
    if (!address)
        return true; // a transport SDL's library may know better; not tried here
    const int descriptor = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (descriptor < 0)
        return false;
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                               (address->sun_path[0] ? std::strlen(address->sun_path)
                                                     : 1 + std::strlen(address->sun_path + 1)));
    bool answered = false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const auto waitFor = [&](short events) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd watched{descriptor, events, 0};
        return left.count() > 0 && poll(&watched, 1, static_cast<int>(left.count())) == 1 &&
               (watched.revents & events);
    };
    if (connect(descriptor, reinterpret_cast<const sockaddr*>(&*address), length) == 0 ||
        (errno == EINPROGRESS && waitFor(POLLOUT))) {
        std::string hello = std::string(1, '\0') + "AUTH EXTERNAL ";
        for (const char digit : std::to_string(getuid()))
            hello += "3" + std::string(1, digit); // the uid's digits, in hexadecimal ASCII
        hello += "\r\n";
        if (send(descriptor, hello.data(), hello.size(), MSG_NOSIGNAL) ==
            static_cast<ssize_t>(hello.size())) {
            char reply[256];
            ssize_t got = 0;
            while (!answered && waitFor(POLLIN)) {
                const ssize_t read = recv(descriptor, reply + got, sizeof reply - 1 - got, 0);
                if (read <= 0)
                    break;
                got += read;
                reply[got] = '\0';
                answered = std::strstr(reply, "\r\n") != nullptr;
            }
            answered = answered && std::strncmp(reply, "OK ", 3) == 0;
        }
    }
    close(descriptor);
    return answered;
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
