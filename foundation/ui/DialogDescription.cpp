#include "foundation/ui/DialogDescription.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"

#include <charconv>
#include <set>
#include <sstream>

namespace {

const std::set<std::string>& ControlKinds() {
    static const std::set<std::string> kinds = {"text",  "edit",   "password", "multiline", "list",
                                                "date",  "radio",  "check",    "button",    "link",
                                                "picture", "bitmap", "line",   "drive",     "choice",  "push",
                                                "colour", "trackbar", "report"};
    return kinds;
}

bool ParseNumber(std::string_view word, int* value) {
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), *value);
    return ec == std::errc() && end == word.data() + word.size();
}

}  // namespace

bool ParseDialogDescription(std::string_view text, DialogDescription* out, std::string* problem) {
    *out = DialogDescription{};
    out->root.kind = "column";
    std::vector<DialogItem*> stack{&out->root};
    std::istringstream in{std::string(text)};
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& what) {
        if (problem) *problem = "line " + std::to_string(lineNo) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;
        const std::string& kind = w[0];
        if (kind == "caption") {
            if (w.size() != 2 || w[1][0] != '@' || !ParseNumber(std::string_view(w[1]).substr(1), &out->captionId))
                return fail("caption takes one @string id");
            continue;
        }
        if (kind == "end") {
            if (stack.size() == 1) return fail("end without a group");
            stack.pop_back();
            continue;
        }
        DialogItem item;
        item.kind = kind;
        size_t next = 1;
        if (kind == "column" || kind == "row" || kind == "group") {
            if (kind == "group") {
                if (w.size() < 2 || w[1][0] != '@' || !ParseNumber(std::string_view(w[1]).substr(1), &item.stringId))
                    return fail("group takes an @string id");
                next = 2;
                // An optional control id names the group's frame, whose label may change.
                if (w.size() > 2 && ParseNumber(w[2], &item.id)) next = 3;
            }
        } else if (kind == "space") {
            if (w.size() != 2 || !ParseNumber(w[1], &item.size) || item.size < 0)
                return fail("space takes a number of pixels");
            next = 2;
        } else if (ControlKinds().count(kind)) {
            if (w.size() < 2 || !ParseNumber(w[1], &item.id)) return fail(kind + " needs a control id");
            next = 2;
            if (w.size() > 2 && w[2][0] == '@') {
                if (!ParseNumber(std::string_view(w[2]).substr(1), &item.stringId)) return fail("bad string id");
                next = 3;
            }
        } else {
            return fail("unknown kind '" + kind + "'");
        }
        for (size_t i = next; i < w.size(); ++i) {
            const std::string& f = w[i];
            if (f == "grow") item.grow = true;
            else if (f == "wide") item.wide = true;
            else if (f == "tall") item.tall = true;
            else if (f == "right") item.right = true;
            else if (f == "bold") item.bold = true;
            else if (f == "group") item.groupStart = true;
            else if (f == "hidden") item.hidden = true;
            else return fail("unknown flag '" + f + "'");
        }
        stack.back()->children.push_back(std::move(item));
        DialogItem& added = stack.back()->children.back();
        if (kind == "column" || kind == "row" || kind == "group") stack.push_back(&added);
    }
    if (stack.size() != 1) return fail("a group is not closed");
    return true;
}

bool LoadDialogDescription(int templateId, DialogDescription* out, std::string* problem) {
    Handle h = nullptr;
    if (LoadResourceHandle(&h, 'DLOG', templateId) != noErr || !h) {
        if (problem) *problem = "no description for dialog " + std::to_string(templateId);
        return false;
    }
    std::string text(reinterpret_cast<const char*>(*h), size_t(GetHandleSize(h)));
    DisposeHandle(h);
    return ParseDialogDescription(text, out, problem);
}
