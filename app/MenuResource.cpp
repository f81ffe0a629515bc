#include "app/MenuResource.h"

#include "foundation/resources/ResourceStrings.h"
#include "platform/Handles.h"

#include <algorithm>
#include <sstream>

namespace {

bool ParseTextId(const std::string& word, UInt16* id) {
    if (word.size() < 2 || word[0] != '@') return false;
    long value = 0;
    for (std::size_t i = 1; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') return false;
        value = value * 10 + (word[i] - '0');
        if (value > 65535) return false;
    }
    *id = UInt16(value);
    return true;
}

bool ParseNumber(const std::string& word, int* out) {
    if (word.empty() || word.size() > 6) return false;
    int value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *out = value;
    return true;
}

bool LoadText(OSType type, long id, std::string* text) {
    Handle h = nullptr;
    if (LoadResourceHandle(&h, type, id) != noErr || !h) return false;
    text->assign(*h, std::size_t(GetHandleSize(h)));
    DisposeHandle(h);
    return true;
}

void Collect(const std::vector<MenuNode>& nodes, std::vector<int>* out) {
    for (const MenuNode& n : nodes) {
        if (n.kind == MenuNode::kItem && std::find(out->begin(), out->end(), n.command) == out->end())
            out->push_back(n.command);
        Collect(n.children, out);
    }
}

}  // namespace

bool ParseMenuText(const std::string& text, std::vector<MenuNode>* menus, std::string* problem) {
    std::vector<MenuNode> top;
    std::vector<MenuNode> stack;  // open levels, innermost last
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        if (problem) *problem = "line " + std::to_string(lineNo) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNo;
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#') continue;
        std::string a, b, extra;
        words >> a >> b >> extra;
        if (keyword == "menu" || keyword == "popup") {
            MenuNode node;
            node.kind = keyword == "menu" ? MenuNode::kMenu : MenuNode::kPopup;
            if (!ParseTextId(a, &node.textId) || !b.empty()) return fail("expected " + keyword + " @<text id>");
            if ((keyword == "menu") != stack.empty()) return fail(keyword == "menu" ? "menu inside a menu" : "popup outside a menu");
            stack.push_back(std::move(node));
        } else if (keyword == "item") {
            MenuNode node;
            if (stack.empty()) return fail("item outside a menu");
            if (!ParseNumber(a, &node.command) || !ParseTextId(b, &node.textId) || !extra.empty())
                return fail("expected item <command> @<text id>");
            stack.back().children.push_back(std::move(node));
        } else if (keyword == "separator") {
            if (stack.empty() || !a.empty()) return fail("separator outside a menu");
            MenuNode node;
            node.kind = MenuNode::kSeparator;
            stack.back().children.push_back(std::move(node));
        } else if (keyword == "end") {
            if (stack.empty() || !a.empty()) return fail("end without a menu");
            MenuNode done = std::move(stack.back());
            stack.pop_back();
            if (stack.empty()) top.push_back(std::move(done));
            else stack.back().children.push_back(std::move(done));
        } else {
            return fail("unknown word '" + keyword + "'");
        }
    }
    if (!stack.empty()) return fail("a menu is not closed");
    *menus = std::move(top);
    return true;
}

bool LoadMenuResource(long menuId, std::vector<MenuNode>* menus) {
    std::string text;
    return LoadText('MENU', menuId, &text) && ParseMenuText(text, menus, nullptr);
}

bool ParseAcceleratorText(const std::string& text, std::vector<AcceleratorEntry>* entries, std::string* problem) {
    std::vector<AcceleratorEntry> list;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        std::istringstream words(line);
        std::string first, key, extra;
        if (!(words >> first) || first[0] == '#') continue;
        AcceleratorEntry e;
        if (!ParseNumber(first, &e.command) || !(words >> key) || (words >> extra)) {
            if (problem) *problem = "line " + std::to_string(lineNo) + ": expected <command> <key>";
            return false;
        }
        e.key = key;
        list.push_back(e);
    }
    *entries = std::move(list);
    return true;
}

bool LoadAcceleratorResource(long tableId, std::vector<AcceleratorEntry>* entries) {
    std::string text;
    return LoadText('ACCL', tableId, &text) && ParseAcceleratorText(text, entries, nullptr);
}

std::vector<int> MenuCommands(const std::vector<MenuNode>& menus) {
    std::vector<int> out;
    Collect(menus, &out);
    return out;
}
