// printf-style formatting into UTF-16: numbers, UTF-8 texts for %s, characters outside ASCII
// in the format and in the arguments, and the key names of the typed settings built with it.
#include "foundation/text/FormatString.h"

#include "foundation/settings/TypedSettings.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatString, FormatsNumbersAndUtf8TextIntoUtf16) {
    EXPECT_EQ(FormatString(u"%d items", 42), u"42 items");
    EXPECT_EQ(FormatString(u"%04X-%04X", 0x1234u, 0xABCDu), u"1234-ABCD");
    EXPECT_EQ(FormatString(u"%4.4s|%-3s|", "LABEL", "ab"), u"LABE|ab |");
    EXPECT_EQ(FormatString(u"R\u00e9sum\u00e9 %s", "na\xc3\xafve \xe2\x82\xac"), u"R\u00e9sum\u00e9 na\u00efve \u20ac");
    EXPECT_EQ(FormatString(u""), u"");
    EXPECT_EQ(FormatString(nullptr), u"");
    EXPECT_EQ(FormatString(u"%s\\%s", "Preferences", "LABL"), u"Preferences\\LABL");
    // A long result is not cut at any buffer size.
    EXPECT_EQ(FormatString(u"%s", std::string(5000, 'x').c_str()).size(), 5000u);
}

TEST(FormatString, BuildsTheKeyNamesOfTypedSettings) {
    EXPECT_EQ(TypedSettingKeyName('LABL'), u"Preferences\\LABL");
    EXPECT_EQ(TypedSettingKeyName('FLDS'), u"Preferences\\FLDS");
}

}  // namespace
