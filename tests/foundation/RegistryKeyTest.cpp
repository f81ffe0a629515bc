#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"

#include "support/SettingsSandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Stores a value of any type straight through the registry calls.
void RawSet(const std::u16string& path, const char16_t* name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, data.data(), DWORD(data.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

std::vector<BYTE> Utf16Data(const std::u16string& s) {
    std::vector<BYTE> d;
    for (char16_t c : s) {
        d.push_back(BYTE(c));
        d.push_back(BYTE(c >> 8));
    }
    d.insert(d.end(), {0, 0});
    return d;
}

class RegistryKeyTest : public ::testing::Test {
protected:
    SettingsSandbox sandbox;
    CRegistryKey key;
    std::u16string path = std::u16string(kProgramKeyPath) + u"Test";
    void SetUp() override { ASSERT_TRUE(OpenUserKey(&key, u"Test")); }
};

TEST_F(RegistryKeyTest, StringsUpTo254CharactersAreWrittenAndReadBack) {
    const std::u16string ok(254, u'ä');
    EXPECT_TRUE(key.WriteString(u"S", ok));
    EXPECT_EQ(key.ReadString(u"S", u"default"), ok);
    EXPECT_EQ(key.GetValueType(u"S"), DWORD(REG_SZ));

    EXPECT_FALSE(key.WriteString(u"Long", std::u16string(255, u'x')));
    EXPECT_FALSE(key.ValueExists(u"Long"));
    EXPECT_TRUE(key.WriteString(u"S", u""));
    EXPECT_EQ(key.ReadString(u"S", u"default"), u"");
}

TEST_F(RegistryKeyTest, ReadStringGivesTheDefaultForAnythingButShortText) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        std::u16string expected;
    };
    const std::vector<Case> cases = {
        {"a number", REG_DWORD, {1, 0, 0, 0}, u"default"},
        {"binary", REG_BINARY, Utf16Data(u"abc"), u"default"},
        {"300 characters", REG_SZ, Utf16Data(std::u16string(300, u'y')), u"default"},
        {"255 characters with their zero", REG_SZ, Utf16Data(std::u16string(255, u'y')), u"default"},
        {"expandable text, not expanded", REG_EXPAND_SZ, Utf16Data(u"%HOME%/x"), u"%HOME%/x"},
        {"text without its zero", REG_SZ, {'h', 0, 'i', 0}, u"hi"},
        {"text with an inner zero", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}, u"a"},
    };
    for (const Case& c : cases) {
        RawSet(path, u"V", c.type, c.data);
        EXPECT_EQ(key.ReadString(u"V", u"default"), c.expected) << c.what;
    }
    EXPECT_EQ(key.ReadString(u"Missing", u"default"), u"default");
    EXPECT_EQ(key.LastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeyTest, NumbersAreFourBinaryBytesAndReadWhateverTheirType) {
    EXPECT_TRUE(key.WriteDword(u"N", 0xCAFEF00Du));
    EXPECT_EQ(key.GetValueType(u"N"), DWORD(REG_BINARY));
    EXPECT_EQ(key.ReadDword(u"N", 7), 0xCAFEF00Du);
    BYTE raw[4];
    DWORD size = 0;
    ASSERT_TRUE(key.ReadBinary(u"N", raw, sizeof raw, &size));
    EXPECT_EQ(std::vector<BYTE>(raw, raw + 4), (std::vector<BYTE>{0x0D, 0xF0, 0xFE, 0xCA}));

    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        DWORD expected;
    };
    const std::vector<Case> cases = {
        {"REG_DWORD", REG_DWORD, {0x90, 0x01, 0, 0}, 400},
        {"eight bytes", REG_BINARY, {1, 2, 3, 4, 5, 6, 7, 8}, 7},
        {"two bytes", REG_BINARY, {0x34, 0x12}, 0x1234},
        {"text of one character", REG_SZ, {'A', 0, 0, 0}, 0x41},
    };
    for (const Case& c : cases) {
        RawSet(path, u"V", c.type, c.data);
        EXPECT_EQ(key.ReadDword(u"V", 7), c.expected) << c.what;
    }
    EXPECT_EQ(key.ReadDword(u"Missing", 7), 7u);
}

TEST_F(RegistryKeyTest, BinaryReadsReportTheSize) {
    std::vector<BYTE> data(300);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = BYTE(i * 7);
    ASSERT_TRUE(key.WriteBinary(u"B", data.data(), DWORD(data.size())));

    DWORD size = 99;
    EXPECT_TRUE(key.ReadBinary(u"B", nullptr, 0, &size));
    EXPECT_EQ(size, 300u);

    std::vector<BYTE> small(100, 0xEE);
    EXPECT_FALSE(key.ReadBinary(u"B", small.data(), DWORD(small.size()), &size));
    EXPECT_EQ(size, 300u);
    EXPECT_EQ(small[0], 0xEE);

    std::vector<BYTE> big(400);
    EXPECT_TRUE(key.ReadBinary(u"B", big.data(), DWORD(big.size()), &size));
    EXPECT_EQ(size, 300u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), big.begin()));

    size = 99;
    EXPECT_FALSE(key.ReadBinary(u"Missing", big.data(), DWORD(big.size()), &size));
    EXPECT_EQ(size, 0u);
}

TEST_F(RegistryKeyTest, HandlesRoundTripAndFailedReadsLeaveTheHandleWithTheCaller) {
    Handle h = NewHandle(1000);
    for (int i = 0; i < 1000; ++i) (*h)[i] = char(i);
    EXPECT_TRUE(key.WriteHandle(u"H", h));
    EXPECT_FALSE(HIsLocked(h));
    Handle back = nullptr;
    ASSERT_TRUE(key.ReadHandle(u"H", &back));
    ASSERT_EQ(GetHandleSize(back), 1000);
    EXPECT_EQ(std::memcmp(*back, *h, 1000), 0);
    EXPECT_FALSE(HIsLocked(back));
    DisposeHandle(back);

    HLock(h);
    EXPECT_TRUE(key.WriteHandle(u"H", h));
    EXPECT_TRUE(HIsLocked(h));   // the caller's state is kept
    DisposeHandle(h);

    Handle missing = nullptr;
    EXPECT_FALSE(key.ReadHandle(u"Missing", &missing));
    EXPECT_NE(missing, nullptr);
    DisposeHandle(missing);
    EXPECT_FALSE(key.ReadHandle(u"H", nullptr));
    EXPECT_FALSE(key.WriteHandle(u"H", nullptr));
}

TEST_F(RegistryKeyTest, ValuesAreDeletedAndTheirTypesTold) {
    ASSERT_TRUE(key.WriteString(u"S", u"x"));
    EXPECT_TRUE(key.ValueExists(u"S"));
    EXPECT_TRUE(key.DeleteValue(u"S"));
    EXPECT_FALSE(key.ValueExists(u"S"));
    EXPECT_FALSE(key.DeleteValue(u"S"));
    EXPECT_EQ(key.GetValueType(u"S"), 0u);
    EXPECT_EQ(key.LastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeyTest, RootAndPathChangeOnlyWhenValid) {
    EXPECT_FALSE(key.SetRoot(HKEY_CURRENT_CONFIG));
    EXPECT_EQ(key.Root(), HKEY_CURRENT_USER);
    EXPECT_TRUE(key.SetRoot(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(key.Root(), HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(key.SetRoot(HKEY_CURRENT_USER));

    const std::u16string before = key.SubKeyPath();
    EXPECT_FALSE(key.SetSubKey(u"SOFTWARE\\Nowhere", false, 1));
    EXPECT_EQ(key.LastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.SubKeyPath(), before);

    // An empty path touches nothing: no store is even made.
    SettingsSandbox fresh;
    CRegistryKey other;
    EXPECT_TRUE(other.SetSubKey(u"", false, 0));
    EXPECT_TRUE(other.SubKeyPath().empty());
    EXPECT_FALSE(std::filesystem::exists(fresh.UserStore()));
}

TEST_F(RegistryKeyTest, TheReadOnlyFlagGovernsOnlyTheOpening) {
    ASSERT_TRUE(key.WriteString(u"S", u"kept"));
    CRegistryKey reader;
    ASSERT_TRUE(reader.SetSubKey(path, false, 1));
    EXPECT_EQ(reader.ReadString(u"S", u""), u"kept");
    // Every operation opens the key afresh with its own rights, so a key opened read-only
    // still writes: the read-only flag governs the opening only.
    EXPECT_TRUE(reader.WriteString(u"S", u"new"));

    CRegistryKey machine;
    ASSERT_TRUE(OpenMachineKey(&machine, u"", 1));
    EXPECT_EQ(machine.Root(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(machine.SubKeyPath(), kProgramKeyPath);
}

}  // namespace
