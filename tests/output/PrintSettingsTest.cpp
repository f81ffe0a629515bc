// Print settings: the defaults, the scaling code that loads, the user's copy in native order and
// the catalog's 'PRNT' copy in big-endian order (with its little-endian grid sizes), margins that
// keep their fractions, older whole-number margins, short and long copies, and the unit of the
// locale's measurement setting.
#include "../window/ViewTestSupport.h"

#include "catalog/save/CatalogSave.h"
#include "foundation/settings/ProgramKey.h"
#include "output/print/PrintSettings.h"
#include "platform/ByteOrder.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

void SetText(HeaderFooterBlock* b, const std::string& ansi) {
    b->text[0] = UInt8(std::min<std::size_t>(ansi.size(), 255));
    std::memcpy(b->text + 1, ansi.data(), b->text[0]);
}

Handle HandleOf(const UInt8* bytes, std::size_t n) {
    Handle h = nullptr;
    EXPECT_EQ(PtrToHand(bytes, &h, Size(n)), noErr);
    return h;
}

// Sets one environment variable for a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace

class PrintSettingsTest : public ViewTest {};

TEST_F(PrintSettingsTest, WithNothingStoredTheRecordIsTheDefaults) {
    PrintSettingsRec r;
    std::memset(&r, 0xAB, sizeof r);
    LoadPrintSettings(catalog, &r);
    EXPECT_EQ(r.layout, kPrintContentList);
    EXPECT_EQ(r.printBox, 1);
    EXPECT_EQ(r.pageChoice, kPageChoiceDialog);
    EXPECT_EQ(r.scalingCode, kScaleToFit);
    EXPECT_EQ(r.reserved12, 200);
    EXPECT_EQ(r.currentPage, 0u);
    for (double m : r.margins) EXPECT_EQ(m, 0.0);
    EXPECT_EQ(r.printItemIcons + r.printLabelRow + r.printViewFields + r.marginBetween, 4);
    EXPECT_EQ(r.useViewColors + r.hiResThumbnails + r.mirrorMargins + r.cropMarks + r.repeatMedia, 0);
    const PrintGridBlock& sheet = r.grids[kPrintContactSheet];
    EXPECT_EQ(sheet.sizing, kGridDefault);
    EXPECT_EQ(sheet.unit, 5);
    EXPECT_EQ(sheet.columns, 5);
    EXPECT_EQ(sheet.rows, 5);
    EXPECT_EQ(sheet.cellWidth, 5);
    EXPECT_EQ(r.grids[kPrintMediaSheet].columns, 1);
    EXPECT_EQ(r.grids[kPrintMediaSheet].unit, 1);
    for (const auto& b : r.bands) {
        EXPECT_EQ(b.text[0], 0);
        EXPECT_EQ(b.fontNumber, 3);
        EXPECT_EQ(b.size, 10);
        EXPECT_EQ(b.backColor[0] & b.backColor[1] & b.backColor[2], 0xFFFF);
        EXPECT_EQ(b.textColor[0] | b.textColor[1] | b.textColor[2], 0);
    }
}

TEST_F(PrintSettingsTest, OnlyTheScalingListsEntriesLoad) {
    struct Case {
        UInt8 stored, loaded;
    } cases[] = {{0, 2}, {3, 2}, {9, 2}, {17, 2}, {255, 2}, {1, 1}, {2, 2}, {4, 4}, {8, 8}, {10, 10}, {16, 16}};
    for (const Case& c : cases) {
        PrintSettingsRec r;
        DefaultPrintSettings(&r);
        r.scalingCode = c.stored;
        ASSERT_TRUE(WriteReportSettings(r));
        PrintSettingsRec loaded;
        LoadPrintSettings(catalog, &loaded);
        EXPECT_EQ(loaded.scalingCode, c.loaded) << int(c.stored);
        // The same through the catalog's copy.
        UInt8 stored[kPrintSettingsSize];
        PrintSettingsToBigEndian(r, stored);
        catalog->printSettings = HandleOf(stored, sizeof stored);
        LoadPrintSettings(catalog, &loaded);
        EXPECT_EQ(loaded.scalingCode, c.loaded) << int(c.stored);
        DisposeHandle(catalog->printSettings);
        catalog->printSettings = nullptr;
    }
}

TEST_F(PrintSettingsTest, ASaveKeepsNativeAndBigEndianCopiesThatLoadAlike) {
    PrintSettingsRec r;
    DefaultPrintSettings(&r);
    r.layout = kPrintContactSheet;
    r.currentPage = 0x01020304;
    r.margins[kMarginTop] = 1.5;
    r.margins[kMarginLeft] = 0.25;
    r.margins[kMarginBottom] = 2.75;
    r.margins[kMarginRight] = 1.0 / 3;
    r.grids[kPrintContactSheet] = PrintGridBlock{kGridSize, 3, 4, 6, 0x0102, 0x0304, 0x0A0B0C0D};
    const std::string header(255, 'h');
    SetText(&r.bands[kBandHeader], header);
    r.bands[kBandFooter].textColor[0] = 0x1234;
    ASSERT_TRUE(SavePrintSettings(catalog, r));
    EXPECT_TRUE(CatalogIsModified(catalog));
    ASSERT_TRUE(catalog->printSettings);
    ASSERT_EQ(GetHandleSize(catalog->printSettings), Size(kPrintSettingsSize));

    // The catalog's copy: big-endian numbers, the doubles' own bytes for the margins, and the
    // grid's cell sizes in the order they have in memory.
    const UInt8* p = reinterpret_cast<const UInt8*>(*catalog->printSettings);
    EXPECT_EQ(ReadBE16(p + 12), 200);
    EXPECT_EQ(ReadBE32(p + 16), 0x01020304u);
    EXPECT_EQ(ReadBE16(p + 1252), 1);
    double m;
    const std::uint64_t bits = ReadBE64(p + 80);
    std::memcpy(&m, &bits, 8);
    EXPECT_EQ(m, 1.5);
    const UInt8* grid = p + 112 + 12;
    EXPECT_EQ(grid[0], kGridSize);
    EXPECT_EQ(ReadLE16(grid + 4), 0x0102);
    EXPECT_EQ(ReadLE16(grid + 6), 0x0304);
    EXPECT_EQ(ReadBE32(grid + 8), 0x0A0B0C0Du);
    EXPECT_EQ(ReadBE16(p + 424 + 264), 0x1234);
    EXPECT_EQ(ReadBE16(p + 148 + 258), 3);

    // The user's copy is the record as it is in memory.
    PrintSettingsRec user;
    ASSERT_TRUE(ReadReportSettings(&user));
    EXPECT_EQ(std::memcmp(&user, &r, sizeof r), 0);
    // Loading from the catalog's copy gives the record back whole, fractions and all.
    PrintSettingsRec fromCatalog;
    LoadPrintSettings(catalog, &fromCatalog);
    EXPECT_EQ(std::memcmp(&fromCatalog, &r, sizeof r), 0);
    EXPECT_EQ(fromCatalog.bands[kBandHeader].text[0], 255);
}

TEST_F(PrintSettingsTest, TheCatalogCopyTravelsWithTheCatalogFile) {
    AddItems(2);
    PrintSettingsRec r;
    DefaultPrintSettings(&r);
    r.margins[kMarginLeft] = 1.5;
    r.layout = kPrintMediaSheet;
    ASSERT_TRUE(SavePrintSettings(catalog, r));
    FSSpec spec;
    FSMakeFSSpecFromPath(folder / "printed.lxc", &spec);
    ASSERT_EQ(CatalogSave(catalog, &spec, nullptr, 0), noErr);
    CatalogRemoveListener(catalog, &window, 0);
    CatalogClose(catalog, false);
    catalog = nullptr;
    // Another user's settings must not be what comes back.
    PrintSettingsRec other;
    DefaultPrintSettings(&other);
    ASSERT_TRUE(WriteReportSettings(other));
    FSSpec work;
    FSMakeFSSpecFromPath(folder / "printed.work", &work);
    ASSERT_EQ(CatalogOpen(&catalog, &spec, &work, nullptr, nullptr, nullptr, 0), noErr);
    PrintSettingsRec back;
    LoadPrintSettings(catalog, &back);
    EXPECT_EQ(back.margins[kMarginLeft], 1.5);
    EXPECT_EQ(back.layout, kPrintMediaSheet);
}

TEST_F(PrintSettingsTest, OlderWholeNumberMarginsShortAndLongCopiesLoad) {
    PrintSettingsRec d;
    DefaultPrintSettings(&d);
    UInt8 stored[kPrintSettingsSize + 40];
    std::memset(stored, 0, sizeof stored);
    PrintSettingsToBigEndian(d, stored);
    // An older program wrote each margin as a 64-bit whole number.
    WriteBE64(stored + 80, 2);
    WriteBE64(stored + 88, 0);
    WriteBE64(stored + 96, 1);
    WriteBE64(stored + 104, 3);
    WriteBE16(stored + 1252, kPrintMediaSheet);
    catalog->printSettings = HandleOf(stored, sizeof stored);   // 40 bytes too long: cut
    PrintSettingsRec r;
    LoadPrintSettings(catalog, &r);
    EXPECT_EQ(r.margins[kMarginTop], 2.0);
    EXPECT_EQ(r.margins[kMarginLeft], 0.0);
    EXPECT_EQ(r.margins[kMarginBottom], 1.0);
    EXPECT_EQ(r.margins[kMarginRight], 3.0);
    EXPECT_EQ(r.layout, kPrintMediaSheet);
    DisposeHandle(catalog->printSettings);

    // A copy that ends after the page choice: the rest are the defaults.
    UInt8 shortCopy[2] = {0, kPageChoiceOdd};
    catalog->printSettings = HandleOf(shortCopy, sizeof shortCopy);
    LoadPrintSettings(catalog, &r);
    EXPECT_EQ(r.printBox, 0);
    EXPECT_EQ(r.pageChoice, kPageChoiceOdd);
    EXPECT_EQ(r.printLabelRow, 1);
    EXPECT_EQ(r.grids[kPrintContactSheet].columns, 5);
    EXPECT_EQ(r.bands[kBandRight].fontNumber, 3);
    EXPECT_EQ(r.reserved12, 200);
}

TEST_F(PrintSettingsTest, AUserValueOfAnotherLengthIsIgnored) {
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, kRegReportSettings));
    std::vector<UInt8> shortValue(1000, 0x07);
    ASSERT_TRUE(key.WriteBinary(kRegReportSettings, shortValue.data(), DWORD(shortValue.size())));
    PrintSettingsRec r;
    LoadPrintSettings(catalog, &r);
    PrintSettingsRec d;
    DefaultPrintSettings(&d);
    EXPECT_EQ(std::memcmp(&r, &d, sizeof r), 0);
    std::vector<UInt8> longValue(1300, 0x07);
    ASSERT_TRUE(key.WriteBinary(kRegReportSettings, longValue.data(), DWORD(longValue.size())));
    LoadPrintSettings(catalog, &r);
    EXPECT_EQ(std::memcmp(&r, &d, sizeof r), 0);
}

TEST_F(PrintSettingsTest, TheUnitFollowsTheLocalesMeasurementSetting) {
    ScopedEnv all("LC_ALL", nullptr);
    ScopedEnv lang("LANG", "C.UTF-8");
    {
        ScopedEnv m("LC_MEASUREMENT", "en_US.UTF-8");
        EXPECT_FALSE(PrintUnitIsMetric());
    }
    {
        ScopedEnv m("LC_MEASUREMENT", "de_DE.UTF-8");
        EXPECT_TRUE(PrintUnitIsMetric());
    }
    {
        // A locale that is not there: metric.
        ScopedEnv m("LC_MEASUREMENT", "xx_NOWHERE.UTF-8");
        EXPECT_TRUE(PrintUnitIsMetric());
    }
}
