#include "window/grid/ShowInFileManager.h"

#include "foundation/utilities/OpenInBrowser.h"

#include <gio/gio.h>

namespace {

bool AskFileManager(const std::string& path) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        if (error) g_error_free(error);
        return false;
    }
    GFile* file = g_file_new_for_path(path.c_str());
    char* uri = g_file_get_uri(file);
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&uris, "s", uri);
    // The bus may start a file manager that offers the service; a short time-out keeps a
    // missing one from holding the window.
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1",
        "ShowItems", g_variant_new("(ass)", &uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, &error);
    g_free(uri);
    g_object_unref(file);
    g_object_unref(bus);
    if (error) g_error_free(error);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
}

}  // namespace

bool ShowInFileManager(const std::string& path) {
    if (path.empty()) return false;
    if (AskFileManager(path)) return true;
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    return OpenInBrowser(folder, nullptr);
}
