// The conversion's question about an existing file, as an alert: "Replace file?" with Replace,
// Skip and Replace All.
#pragma once

#include "output/convert/ConvertRun.h"

class WxConvertPrompts : public ConvertPrompts {
public:
    SInt16 AskReplace(const std::string& fileName, const std::string& folderPath) override;
};
