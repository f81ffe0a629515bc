#include "output/slideshow/ScreenSaverInhibit.h"

#include <gio/gio.h>

namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kPath = "/org/freedesktop/ScreenSaver";
constexpr int kTimeoutMs = 2000;

// The session bus; null when there is none (no error reported: a show runs without it).
GDBusConnection* SessionBus() {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (error) g_error_free(error);
    return bus;
}

}  // namespace

bool ScreenSaverInhibit::Hold(const char* reason) {
    if (held_) return true;
    GDBusConnection* bus = SessionBus();
    if (!bus) return false;
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, kService, kPath, kService, "Inhibit",
                                                  g_variant_new("(ss)", "Lyrex Ondrel", reason),
                                                  G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kTimeoutMs,
                                                  nullptr, &error);
    if (reply) {
        guint32 cookie = 0;
        g_variant_get(reply, "(u)", &cookie);
        g_variant_unref(reply);
        cookie_ = cookie;
        held_ = true;
    }
    if (error) g_error_free(error);
    g_object_unref(bus);
    return held_;
}

void ScreenSaverInhibit::Release() {
    if (!held_) return;
    held_ = false;
    GDBusConnection* bus = SessionBus();
    if (!bus) return;
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, kService, kPath, kService, "UnInhibit",
                                                  g_variant_new("(u)", cookie_), nullptr,
                                                  G_DBUS_CALL_FLAGS_NO_AUTO_START, kTimeoutMs, nullptr, &error);
    if (reply) g_variant_unref(reply);
    if (error) g_error_free(error);
    g_object_unref(bus);
}
