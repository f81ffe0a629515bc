#include "app/ui/MenuBuilder.h"

#include "foundation/ui/CommandIds.h"
#include "foundation/ui/UiText.h"

#include <vector>

namespace {

void Fill(wxMenu* menu, const std::vector<MenuNode>& nodes) {
    for (const MenuNode& n : nodes) {
        switch (n.kind) {
        case MenuNode::kSeparator: menu->AppendSeparator(); break;
        case MenuNode::kItem: menu->Append(WxIdOf(n.command), LoadUiString(n.textId)); break;
        case MenuNode::kPopup:
        case MenuNode::kMenu: {
            wxMenu* sub = new wxMenu();
            Fill(sub, n.children);
            menu->AppendSubMenu(sub, LoadUiString(n.textId));
            break;
        }
        }
    }
}

}  // namespace

wxMenuBar* BuildMenuBar(long menuId) {
    std::vector<MenuNode> menus;
    if (!LoadMenuResource(menuId, &menus)) return nullptr;
    wxMenuBar* bar = new wxMenuBar();
    for (const MenuNode& m : menus) {
        wxMenu* menu = new wxMenu();
        Fill(menu, m.children);
        bar->Append(menu, LoadUiString(m.textId));
    }
    return bar;
}

wxMenu* BuildPopupMenu(long menuId, std::size_t index) {
    std::vector<MenuNode> menus;
    if (!LoadMenuResource(menuId, &menus) || index >= menus.size()) return nullptr;
    wxMenu* menu = new wxMenu();
    Fill(menu, menus[index].children);
    return menu;
}

wxAcceleratorTable BuildAcceleratorTable(long tableId) {
    std::vector<AcceleratorEntry> entries;
    std::vector<wxAcceleratorEntry> table;
    if (LoadAcceleratorResource(tableId, &entries)) {
        for (const AcceleratorEntry& e : entries) {
            wxAcceleratorEntry entry;
            if (entry.FromString("\t" + wxString::FromUTF8(e.key.c_str()))) {
                entry.Set(entry.GetFlags(), entry.GetKeyCode(), WxIdOf(e.command));
                table.push_back(entry);
            }
        }
    }
    return wxAcceleratorTable(int(table.size()), table.data());
}

wxMenu* FindMenuContaining(wxMenuBar* bar, int command) {
    if (!bar) return nullptr;
    wxMenu* found = nullptr;
    bar->FindItem(WxIdOf(command), &found);
    return found;
}
