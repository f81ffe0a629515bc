#include "foundation/utilities/OpenInBrowser.h"

#include "foundation/resources/ResourceStrings.h"

#include <gio/gio.h>

std::string BrowserUriFor(const std::string& target) {
    char* scheme = g_uri_parse_scheme(target.c_str());
    if (scheme) {
        g_free(scheme);
        return target;
    }
    GFile* file = g_file_new_for_path(target.c_str());
    char* uri = g_file_get_uri(file);
    std::string out = uri ? uri : std::string();
    g_free(uri);
    g_object_unref(file);
    return out;
}

bool OpenInBrowser(const std::string& target, std::string* error) {
    if (target.empty()) {
        if (error) *error = "nothing to open";
        return false;
    }
    const std::string uri = BrowserUriFor(target);
    GError* err = nullptr;
    const bool ok = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &err);
    if (!ok && error) *error = err ? err->message : "no program opens it";
    if (err) g_error_free(err);
    return ok;
}

bool OpenStringInBrowser(UInt16 stringId, std::string* error) {
    std::string address;
    LoadResourceStringUtf8(stringId, &address);
    return OpenInBrowser(address, error);
}
