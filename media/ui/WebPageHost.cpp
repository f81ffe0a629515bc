#include "media/ui/WebPageHost.h"

#include <cairo.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr const char* kScheme = "lyrex-page";
// A proxy no request can pass: nothing on the network is ever reached.
constexpr const char* kNoProxy = "http://127.0.0.1:9";
// Room for the scroll bars, which stay outside the area drawn.
constexpr int kScrollBarRoom = 10;
// A file larger than this is not served to the page.
constexpr std::uintmax_t kMaxServedBytes = 64u << 20;

std::string CanonicalFolder(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(std::filesystem::path(path).parent_path(), ec);
    return ec ? std::string() : folder.string();
}

}  // namespace

struct WebPageHost {
    std::string folder;  // canonical; only files inside it are served
    std::string page;    // the page's name inside the folder
    int width = 0, height = 0;
    WebKitWebContext* context = nullptr;
    GtkWidget* window = nullptr;
    WebKitWebView* view = nullptr;
    WebPageLoad state = WebPageLoad::Loading;
    bool started = false;  // the first navigation (ours) has begun
};

namespace {

// Serves a request of our scheme: the path is taken inside the page's folder, and a file that
// lies outside it once links and ".." are resolved is refused.
void ServeRequest(WebKitURISchemeRequest* request, gpointer data) {
    auto* host = static_cast<WebPageHost*>(data);
    const gchar* raw = webkit_uri_scheme_request_get_path(request);
    gchar* decoded = raw ? g_uri_unescape_string(raw, nullptr) : nullptr;
    std::string relative = decoded ? decoded : "";
    g_free(decoded);
    while (!relative.empty() && relative.front() == '/') relative.erase(0, 1);
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::weakly_canonical(std::filesystem::path(host->folder) / relative, ec);
    const std::string name = file.string();
    const bool inside = !ec && name.size() > host->folder.size() + 1 &&
                        name.compare(0, host->folder.size(), host->folder) == 0 && name[host->folder.size()] == '/';
    const std::uintmax_t size = inside ? std::filesystem::file_size(file, ec) : 0;
    if (!inside || ec || size > kMaxServedBytes || !std::filesystem::is_regular_file(file, ec)) {
        GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_PERMISSION_DENIED, "outside the page's folder");
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
        return;
    }
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(name.c_str(), &contents, &length, nullptr)) {
        GError* error = g_error_new_literal(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "unreadable");
        webkit_uri_scheme_request_finish_error(request, error);
        g_error_free(error);
        return;
    }
    gchar* type = g_content_type_guess(name.c_str(), reinterpret_cast<const guchar*>(contents), length, nullptr);
    gchar* mime = type ? g_content_type_get_mime_type(type) : nullptr;
    GInputStream* stream = g_memory_input_stream_new_from_data(contents, gssize(length), g_free);
    webkit_uri_scheme_request_finish(request, stream, gint64(length), mime ? mime : "application/octet-stream");
    g_object_unref(stream);
    g_free(mime);
    g_free(type);
}

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* host = static_cast<WebPageHost*>(data);
    if (event == WEBKIT_LOAD_FINISHED && host->state == WebPageLoad::Loading) host->state = WebPageLoad::Complete;
}

gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer data) {
    static_cast<WebPageHost*>(data)->state = WebPageLoad::Failed;
    return TRUE;
}

// Pages cannot open windows.
GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction*, gpointer) {
    return nullptr;
}

// Pages cannot navigate anywhere: only our own first load goes through; new windows are refused.
gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, gpointer data) {
    auto* host = static_cast<WebPageHost*>(data);
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        if (host->started) {
            webkit_policy_decision_ignore(decision);
            return TRUE;
        }
        host->started = true;
    }
    return FALSE;
}

struct Snapshot {
    cairo_surface_t* surface = nullptr;
    bool done = false;
};

void OnSnapshot(GObject* view, GAsyncResult* result, gpointer data) {
    auto* snapshot = static_cast<Snapshot*>(data);
    snapshot->surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), result, nullptr);
    snapshot->done = true;
}

// Runs the main loop's pending work until the condition holds or the time is up.
template <typename Done>
bool PumpUntil(Done done, int timeoutMs) {
    const gint64 end = g_get_monotonic_time() + gint64(timeoutMs) * 1000;
    while (!done()) {
        if (g_get_monotonic_time() >= end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
    return true;
}

void Fill(GWorldPtr world, int width, int height, const RGBColor& colour) {
    cairo_t* cr = cairo_create(GetGWorldSurface(world));
    cairo_set_source_rgb(cr, colour.red / 65535.0, colour.green / 65535.0, colour.blue / 65535.0);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(GetGWorldSurface(world));
}

}  // namespace

WebPageHost* WebPageHostCreate(const std::string& path, int width, int height) {
    if (!gdk_display_get_default() || width < 1 || height < 1) return nullptr;
    auto* host = new WebPageHost;
    host->folder = CanonicalFolder(path);
    host->page = std::filesystem::path(path).filename().string();
    host->width = width;
    host->height = height;

    host->context = webkit_web_context_new_ephemeral();
    webkit_web_context_register_uri_scheme(host->context, kScheme, ServeRequest, host, nullptr);
    WebKitNetworkProxySettings* proxy = webkit_network_proxy_settings_new(kNoProxy, nullptr);
    webkit_website_data_manager_set_network_proxy_settings(webkit_web_context_get_website_data_manager(host->context),
                                                           WEBKIT_NETWORK_PROXY_MODE_CUSTOM, proxy);
    webkit_network_proxy_settings_free(proxy);

    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_enable_javascript(settings, FALSE);
    webkit_settings_set_enable_javascript_markup(settings, FALSE);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
    webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
    webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
    webkit_settings_set_enable_page_cache(settings, FALSE);
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_enable_developer_extras(settings, FALSE);
    host->view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", host->context, "settings", settings, nullptr));
    g_object_unref(settings);
    g_object_ref_sink(host->view);
    g_signal_connect(host->view, "load-changed", G_CALLBACK(OnLoadChanged), host);
    g_signal_connect(host->view, "load-failed", G_CALLBACK(OnLoadFailed), host);
    g_signal_connect(host->view, "create", G_CALLBACK(OnCreate), host);
    g_signal_connect(host->view, "decide-policy", G_CALLBACK(OnDecidePolicy), host);

    host->window = gtk_offscreen_window_new();
    gtk_widget_set_size_request(GTK_WIDGET(host->view), width + kScrollBarRoom, height + kScrollBarRoom);
    gtk_container_add(GTK_CONTAINER(host->window), GTK_WIDGET(host->view));
    gtk_widget_show_all(host->window);

    if (host->folder.empty()) {
        host->state = WebPageLoad::Failed;
        return host;
    }
    gchar* escaped = g_uri_escape_string(host->page.c_str(), nullptr, FALSE);
    const std::string uri = std::string(kScheme) + ":///" + (escaped ? escaped : "");
    g_free(escaped);
    webkit_web_view_load_uri(host->view, uri.c_str());
    return host;
}

void WebPageHostDestroy(WebPageHost* host) {
    if (!host) return;
    if (host->view) {
        g_signal_handlers_disconnect_by_data(host->view, host);
        webkit_web_view_stop_loading(host->view);
    }
    if (host->window) gtk_widget_destroy(host->window);
    if (host->view) g_object_unref(host->view);
    if (host->context) g_object_unref(host->context);
    delete host;
}

bool WebPageHostWait(WebPageHost* host, int timeoutMs) {
    if (!host) return false;
    PumpUntil([host] { return host->state != WebPageLoad::Loading; }, timeoutMs);
    return host->state != WebPageLoad::Failed;
}

WebPageLoad WebPageHostState(const WebPageHost* host) {
    return host ? host->state : WebPageLoad::Failed;
}

int WebPageHostRender(WebPageHost* host, GWorldPtr world, int timeoutMs) {
    if (!host || !world || !GetGWorldSurface(world)) return -1;
    if (!WebPageHostWait(host, timeoutMs)) {
        Fill(world, host->width, host->height, kWebPageFailedColor);
        return -1;
    }
    Snapshot snapshot;
    GCancellable* cancel = g_cancellable_new();
    webkit_web_view_get_snapshot(host->view, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, cancel,
                                 OnSnapshot, &snapshot);
    // The snapshot's callback points at this frame: it must have run before we return, so a
    // snapshot that takes too long is cancelled, which calls it back at once.
    if (!PumpUntil([&snapshot] { return snapshot.done; }, timeoutMs)) {
        g_cancellable_cancel(cancel);
        while (!snapshot.done) g_main_context_iteration(nullptr, TRUE);
    }
    g_object_unref(cancel);
    if (!snapshot.surface) {
        Fill(world, host->width, host->height, kWebPageFailedColor);
        return -1;
    }
    cairo_t* cr = cairo_create(GetGWorldSurface(world));
    cairo_rectangle(cr, 0, 0, host->width, host->height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_surface(cr, snapshot.surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(GetGWorldSurface(world));
    cairo_surface_destroy(snapshot.surface);
    return 0;
}
