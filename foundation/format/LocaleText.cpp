#include "foundation/format/LocaleText.h"

#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"

std::string LocaleTextToAnsi(std::string_view utf8) { return Utf8ToAnsi(utf8); }

void LocaleTextToPStr(std::string_view utf8, StringPtr out) {
    const std::string ansi = Utf8ToAnsi(utf8);
    PStrFromBytes(out, ansi.data(), long(ansi.size()));
}
