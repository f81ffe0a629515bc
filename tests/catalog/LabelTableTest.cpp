// The label table: defaults from the string table, out-of-range labels, and changes.
#include "catalog/fields/FieldEngine.h"
#include "catalog/tables/Labels.h"
#include "foundation/text/PString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

TEST(LabelTable, DefaultsOutOfRangeAndChanges) {
    LabelTableInit();
    struct Case {
        int label;
        const char* name;
        RGBColor color;
    } cases[] = {
        {1, "Red", {0xF0F0, 0, 0}},        {4, "Brown", {0x8080, 0x4040, 0}},
        {6, "Orange", {0xF0F0, 0x8080, 0x2020}}, {9, "Gray", {0x8080, 0x8080, 0x8080}},
        {0, "None", {0, 0, 0}},            {10, "None", {0, 0, 0}},
        {12, "None", {0, 0, 0}},           {-1, "None", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        Str255 name;
        RGBColor color{1, 2, 3};
        LabelGetInfo(c.label, name, &color);
        EXPECT_EQ(Text(name), c.name) << c.label;
        EXPECT_EQ(color.red, c.color.red) << c.label;
        EXPECT_EQ(color.green, c.color.green) << c.label;
        EXPECT_EQ(color.blue, c.color.blue) << c.label;
    }

    Str255 urgent;
    PStrFromCString(urgent, "Urgent");
    RGBColor pink{0xFFFF, 0x8080, 0x8080};
    LabelSetInfo(1, urgent, nullptr);
    LabelSetInfo(2, nullptr, &pink);
    LabelSetInfo(0, urgent, &pink);   // ignored
    LabelSetInfo(10, urgent, &pink);  // ignored
    Str255 name;
    RGBColor color;
    LabelGetInfo(1, name, &color);
    EXPECT_EQ(Text(name), "Urgent");
    EXPECT_EQ(color.red, 0xF0F0);
    LabelGetInfo(2, name, &color);
    EXPECT_EQ(Text(name), "Green");
    EXPECT_EQ(color.red, 0xFFFF);
    LabelGetInfo(0, name, nullptr);
    EXPECT_EQ(Text(name), "None");
    LabelTableInit();
    LabelGetInfo(1, name, nullptr);
    EXPECT_EQ(Text(name), "Red");
}

TEST(FieldNames, UnitsAndMediaCategories) {
    FieldEngineSetCodes(400, 200);
    FieldTableInit();
    struct Case {
        FieldId id;
        const char* unit;
    } units[] = {{kFieldFileSize, "bytes"}, {kFieldShutterSpeed, "sec"}, {kFieldWidth, "pixels"},
                 {kFieldFrameRate, "FPS"},  {kFieldTitle, ""},          {0x12345678, ""}};
    for (const Case& c : units) {
        Str255 unit;
        FieldGetUnitName(c.id, unit);
        EXPECT_EQ(Text(unit), c.unit) << c.id;
    }
    const char* categories[] = {"Image", "Audio", "Video", "Illustration", "DTP", "Font", "Text", "HTML"};
    for (int i = 0; i < 8; ++i) {
        Str255 name;
        EXPECT_TRUE(MediaCategoryName(i, name));
        EXPECT_EQ(Text(name), categories[i]);
    }
    Str255 name;
    EXPECT_FALSE(MediaCategoryName(8, name));
    EXPECT_EQ(name[0], 0);
    EXPECT_FALSE(MediaCategoryName(-1, name));
}

}  // namespace
