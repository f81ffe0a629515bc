#include "output/ui/convert/WxConvertPrompts.h"

#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"

SInt16 WxConvertPrompts::AskReplace(const std::string& fileName, const std::string& folderPath) {
    Str255 name, folder;
    PStrFromWx(WxFromUtf8(fileName), name);
    PStrFromWx(WxFromUtf8(folderPath), folder);
    // Message 74; buttons "&Replace" (10), "&Skip" (12), "Replace &All" (11) answer 1, 2, 3.
    const short answer = ShowAlert(3, 74, 0, 10, 12, 11, name, folder);
    return answer == 1 ? kConflictReplace : answer == 3 ? kConflictReplaceAll : kConflictSkip;
}
