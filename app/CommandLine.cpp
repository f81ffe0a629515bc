#include "app/CommandLine.h"

bool HasCatalogSuffix(std::string_view path) {
    if (path.size() < 4) return false;
    const std::string_view tail = path.substr(path.size() - 4);
    static constexpr char kSuffix[] = ".lxc";
    for (int i = 0; i < 4; ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != kSuffix[i]) return false;
    }
    return true;
}

CommandLineRequest ClassifyArguments(const std::vector<std::string>& arguments) {
    CommandLineRequest request;
    for (const std::string& argument : arguments) {
        if (!argument.empty()) request.paths.push_back(argument);
    }
    if (request.paths.empty()) return request;
    if (HasCatalogSuffix(request.paths.front())) {
        // Only the catalog is opened; the rest of such a line has no meaning.
        request.paths.resize(1);
        request.kind = CommandLineRequest::kOpenCatalog;
    } else {
        request.kind = CommandLineRequest::kAddMedia;
    }
    return request;
}
