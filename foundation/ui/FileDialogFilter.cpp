#include "foundation/ui/FileDialogFilter.h"

#include "foundation/resources/ResourceStrings.h"

#include <cctype>
#include <set>
#include <sstream>

std::string BuildFileDialogFilter(const std::vector<FilterCategory>& categories) {
    std::string all;
    LoadResourceStringUtf8(59561, &all);
    std::string out = all + "|";
    for (const FilterCategory& c : categories) {
        if (c.extensions.empty()) continue;
        std::string patterns;
        for (const std::string& e : c.extensions) {
            if (!patterns.empty()) patterns += "; ";
            patterns += "*." + e;
        }
        out += c.description + "|" + patterns + "|";
    }
    return out;
}

std::string FilterForGtk(const std::string& filter) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(filter);
    while (std::getline(in, field, '|')) fields.push_back(field);
    std::string out;
    for (size_t i = 0; i + 1 < fields.size(); i += 2) {
        std::vector<std::string> patterns;
        std::set<std::string> seen;
        std::istringstream list(fields[i + 1]);
        for (std::string p; std::getline(list, p, ';');) {
            size_t a = p.find_first_not_of(' '), b = p.find_last_not_of(' ');
            if (a == std::string::npos) continue;
            p = p.substr(a, b - a + 1);
            if (p == "*.*") p = "*";
            std::string lower = p, upper = p;
            for (char& ch : lower) ch = char(std::tolower((unsigned char)ch));
            for (char& ch : upper) ch = char(std::toupper((unsigned char)ch));
            for (const std::string& v : {lower, upper}) {
                if (seen.insert(v).second) patterns.push_back(v);
            }
        }
        if (!out.empty()) out += "|";
        out += fields[i] + "|";
        for (size_t k = 0; k < patterns.size(); ++k) out += (k ? ";" : "") + patterns[k];
    }
    return out;
}
