#include "app/LabelMenuModel.h"

#include "catalog/tables/Labels.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/TextEncoding.h"

namespace {

std::string Text(UInt16 id) {
    std::string text;
    LoadResourceStringUtf8(id, &text);
    return text;
}

LabelMenuItem Plain(int id, std::string text, bool enabled = true) {
    LabelMenuItem item;
    item.id = id;
    item.text = std::move(text);
    item.enabled = enabled;
    return item;
}

LabelMenuItem Separator() {
    LabelMenuItem item;
    item.kind = LabelMenuItem::kSeparator;
    return item;
}

LabelMenuItem Label(int id, int label) {
    LabelMenuItem item;
    item.kind = LabelMenuItem::kLabel;
    item.id = id;
    item.label = label;
    item.text = LabelItemText(label);
    LabelGetInfo(label, nullptr, &item.color);
    return item;
}

}  // namespace

int LabelOfCommand(int id) {
    if (id >= kFirstAssignLabelCommand && id < kFirstAssignLabelCommand + 9) return id - kFirstAssignLabelCommand + 1;
    if (id >= kFirstShowLabelCommand && id < kFirstShowLabelCommand + 9) return id - kFirstShowLabelCommand + 1;
    return 0;
}

std::string LabelItemText(int label) {
    Str255 name;
    LabelGetInfo(label, name, nullptr);
    const std::string number = "[" + std::to_string(label) + "]";
    const std::string text = PStrToUtf8(name);
    return text.empty() ? number : text + " " + number;
}

std::vector<LabelMenuItem> BuildLabelMenuItems(int kind, const HelperList& helpers) {
    std::vector<LabelMenuItem> items;
    switch (kind) {
    case kLabelMenuAssign:
        items.push_back(Plain(kRemoveLabelCommand, Text(62112)));
        items.push_back(Plain(kAssignLabelHeading, Text(62111), false));
        for (int n = 1; n <= 9; ++n) items.push_back(Label(kFirstAssignLabelCommand + n - 1, n));
        break;
    case kLabelMenuFilter:
        items.push_back(Plain(kAnyLabelCommand, Text(62051)));
        items.push_back(Plain(kNoLabelCommand, Text(62052)));
        items.push_back(Separator());
        items.push_back(Plain(kLabelledAsHeading, Text(33003), false));
        for (int n = 1; n <= 9; ++n) items.push_back(Label(kFirstShowLabelCommand + n - 1, n));
        break;
    case kLabelMenuOpenWith:
        items.push_back(Plain(kOpenDefaultCommand, Text(59448)));
        if (helpers.Size() > 0) {
            items.push_back(Separator());
            for (std::size_t i = 0; i < helpers.Size() && i < kMaxHelperItems; ++i) {
                LabelMenuItem item;
                item.kind = LabelMenuItem::kHelper;
                item.id = kFirstHelperCommand + int(i);
                item.text = helpers.At(i)->GetName();
                item.helper = int(i);
                items.push_back(std::move(item));
            }
        }
        items.push_back(Separator());
        items.push_back(Plain(kDefineHelpersCommand, Text(99)));
        break;
    default: break;
    }
    return items;
}
