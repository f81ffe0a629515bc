// The option-set menu's questions in windows: the name to save a set under (the text dialog,
// "Save As:") and the sets to remove (the list dialog, "Remove").
#pragma once

#include "output/optionsets/OptionSetMenu.h"

class WxOptionSetPrompts : public OptionSetPrompts {
public:
    bool AskSetName(const std::string& caption, int maxLength, std::string* name) override;
    std::vector<int> ChooseSets(const std::string& caption, const std::vector<std::string>& names) override;
};
