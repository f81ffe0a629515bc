// Menus and accelerator tables as the program carries them: text resources ('MENU' by menu
// id, 'ACCL' by table id, see resources/menus/) read into plain trees and lists. Item texts
// are string ids, so a language module translates the menus with the rest of the strings.
#pragma once

#include "platform/MacTypes.h"

#include <string>
#include <vector>

struct MenuNode {
    enum Kind { kMenu, kPopup, kItem, kSeparator };
    Kind kind = kItem;
    int command = 0;        // items only
    UInt16 textId = 0;      // menus, pop-ups and items
    std::vector<MenuNode> children;
};

// Reads a menu description: "menu @<id>" / "popup @<id>" open a level closed by "end",
// "item <command> @<id>" and "separator" sit inside one; "#" lines and blank lines are
// ignored. The answer holds the top-level menus. false (and *problem says where) on any other
// line or an unbalanced "end".
bool ParseMenuText(const std::string& text, std::vector<MenuNode>* menus, std::string* problem);
// The menu resource by id; false when it is missing or cannot be read.
bool LoadMenuResource(long menuId, std::vector<MenuNode>* menus);

struct AcceleratorEntry {
    int command = 0;
    std::string key;        // "Ctrl+Shift+S", as the toolkit reads it
};
// Reads "<command> <key>" lines ("#" lines and blank lines ignored).
bool ParseAcceleratorText(const std::string& text, std::vector<AcceleratorEntry>* entries, std::string* problem);
bool LoadAcceleratorResource(long tableId, std::vector<AcceleratorEntry>* entries);

// Every command id of the menus, depth first, once each.
std::vector<int> MenuCommands(const std::vector<MenuNode>& menus);
