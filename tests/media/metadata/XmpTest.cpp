#include "media/metadata/Xmp.h"

#include "media/metadata/IptcBlock.h"
#include "media/metadata/MetadataLevel.h"
#include "media/metadata/XmpFieldMap.h"
#include "MetaTestSupport.h"

#include <gtest/gtest.h>

#include <exempi/xmp.h>

namespace {

using namespace metatest;


std::vector<std::string> Values(Handle block, UInt16 key, std::vector<UInt8>* markers = nullptr) {
    std::vector<std::string> out;
    for (SInt16 n = 1;; ++n) {
        UInt16 length = 0;
        UInt8 marker = 0;
        Ptr p = IptcFindDataset(key, n, block, &length, &marker);
        if (!p) break;
        out.emplace_back(p, length);
        if (markers) markers->push_back(marker);
    }
    return out;
}

std::string Packet(const std::string& description, const std::string& body = "") {
    return "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
           "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
           "<rdf:Description rdf:about='' xmlns:photoshop='http://ns.adobe.com/photoshop/1.0/'"
           " xmlns:Iptc4xmpCore='http://iptc.org/std/Iptc4xmpCore/1.0/xmlns/'"
           " xmlns:quantaro='http://ns.lyrex-ondrel.example/quantaro/1.0/'"
           " xmlns:xmpRights='http://ns.adobe.com/xap/1.0/rights/'"
           " xmlns:dc='http://purl.org/dc/elements/1.1/' " +
           description + ">" + body + "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
}

void ReadInto(Handle block, const std::string& packet) {
    HandleGuard p(NewHandleOf(packet));
    XmpReadPacketData(p.h, block);
}

// A property of a packet held in a handle, through the toolkit.
bool Property(Handle packet, const char* ns, const char* path, std::string* value) {
    XmpRegisterNamespaces();
    XmpPtr xmp = xmp_new(*packet, std::size_t(GetHandleSize(packet)));
    if (!xmp) return false;
    XmpStringPtr s = xmp_string_new();
    bool found = xmp_get_property(xmp, ns, path, s, nullptr);
    if (found && value) *value = xmp_string_cstr(s);
    xmp_string_free(s);
    xmp_free(xmp);
    return found;
}

struct LevelGuard {
    SInt16 saved = MetadataFormatLevel();
    ~LevelGuard() { MetadataSetFormatLevel(saved); }
};

TEST(XmpFieldMap, HasTheFortyOneRowsInOrder) {
    const XmpFieldMapRow* rows = XmpFieldMap();
    EXPECT_EQ(rows[0].fieldId, 522u);
    EXPECT_STREQ(rows[0].path, "");
    EXPECT_EQ(rows[12].fieldId, 567u);
    EXPECT_EQ(rows[12].read, &XmpReadDate);
    EXPECT_EQ(rows[15].read, &XmpReadArray);
    EXPECT_STREQ(rows[20].path, "UsageTerms/*[@xml:lang='x-default']");
    EXPECT_EQ(rows[22].fieldId, 604u);
    EXPECT_STREQ(rows[22].ns, kXmpNsIptcCore);
    EXPECT_EQ(rows[37].fieldId, 604u);
    EXPECT_STREQ(rows[37].ns, kXmpNsQuantaro);
    EXPECT_NE(rows[37].read, nullptr);
    EXPECT_EQ(rows[37].write, nullptr);
    EXPECT_EQ(rows[40].fieldId, 767u);
    EXPECT_STREQ(rows[40].path, "CatalogSets");
    EXPECT_EQ(std::string(kXmpNsQuantaro).substr(std::string(kXmpNsQuantaro).size() - 14), "/quantaro/1.0/");
}

TEST(XmpRead, PropertiesReachTheBlock) {
    LevelGuard level;
    struct Case {
        const char* name;
        SInt16 level;
        Bytes block;
        std::string packet;
        UInt16 key;
        std::vector<std::string> values;
        UInt8 marker;
    } cases[] = {
        {"text converted to the 8-bit set", 200, {}, Packet("photoshop:City='Z\xC3\xBCrich'"), 602, {"Z\xFCrich"}, IptcMarkerAnsi},
        {"text kept as UTF-8 at level 300", 300, {}, Packet("photoshop:City='Z\xC3\xBCrich'"), 602, {"Z\xC3\xBCrich"}, IptcMarkerUtf8},
        {"text replaces the first occurrence", 200, Dataset(602, "Old"), Packet("photoshop:City='New'"), 602, {"New"}, IptcMarkerAnsi},
        {"date as eight digits", 200, {}, Packet("photoshop:DateCreated='2004-07-09T10:00:00'"), 567, {"20040709"}, IptcMarkerAnsi},
        {"date marker stays 8-bit at level 300", 300, {}, Packet("photoshop:DateCreated='1999-12-31'"), 567, {"19991231"}, IptcMarkerAnsi},
        {"keywords: present ones are not added twice", 200, Dataset(537, "b"),
         Packet("", "<dc:subject><rdf:Bag><rdf:li>a</rdf:li><rdf:li>b</rdf:li><rdf:li>c</rdf:li></rdf:Bag></dc:subject>"),
         537, {"b", "a", "c"}, IptcMarkerAnsi},
        {"own namespace location wins over IPTC Core", 200, {},
         Packet("Iptc4xmpCore:Location='Core place' quantaro:Location='Own place'"), 604, {"Own place"}, IptcMarkerAnsi},
        {"only the x-default usage terms", 200, {},
         Packet("", "<xmpRights:UsageTerms><rdf:Alt><rdf:li xml:lang='fr'>Termes</rdf:li>"
                    "<rdf:li xml:lang='x-default'>Terms</rdf:li></rdf:Alt></xmpRights:UsageTerms>"),
         738, {"Terms"}, IptcMarkerAnsi},
        {"creator contact structure field", 200, {},
         Packet("", "<Iptc4xmpCore:CreatorContactInfo rdf:parseType='Resource'>"
                    "<Iptc4xmpCore:CiAdrCity>Lyon</Iptc4xmpCore:CiAdrCity></Iptc4xmpCore:CreatorContactInfo>"),
         721, {"Lyon"}, IptcMarkerAnsi},
        {"own people array", 200, {},
         Packet("", "<quantaro:People><rdf:Bag><rdf:li>Ann</rdf:li><rdf:li>Bo</rdf:li></rdf:Bag></quantaro:People>"),
         630, {"Ann", "Bo"}, IptcMarkerAnsi},
        {"a packet that does not parse changes nothing", 200, Dataset(602, "Kept"), "<x:xmpmeta><broken", 602, {"Kept"}, IptcMarkerAnsi},
    };
    for (const auto& c : cases) {
        MetadataSetFormatLevel(c.level);
        HandleGuard block(NewHandleOf(c.block));
        ReadInto(block.h, c.packet);
        std::vector<UInt8> markers;
        EXPECT_EQ(Values(block.h, c.key, &markers), c.values) << c.name;
        for (UInt8 m : markers)
            if (c.block.empty()) { EXPECT_EQ(m, c.marker) << c.name; }
    }
}

TEST(XmpRead, EveryPacketOfTheListReachesTheBlock) {
    List l;
    std::string first = Packet("photoshop:City='One' photoshop:State='S'",
                               "<dc:subject><rdf:Bag><rdf:li>a</rdf:li></rdf:Bag></dc:subject>");
    std::string second = Packet("photoshop:City='Two'",
                                "<dc:subject><rdf:Bag><rdf:li>a</rdf:li><rdf:li>b</rdf:li></rdf:Bag></dc:subject>");
    for (const std::string* p : {&first, &second}) {
        HandleGuard h(NewHandleOf(*p));
        AddUserData(l.ud, h.h, 'XMP ');
    }
    HandleGuard block(NewHandle(0));
    XmpReadPacket(l.ud, block.h);
    EXPECT_EQ(Values(block.h, 602), (std::vector<std::string>{"Two"}));
    EXPECT_EQ(Values(block.h, 607), (std::vector<std::string>{"S"}));
    EXPECT_EQ(Values(block.h, 537), (std::vector<std::string>{"a", "b"}));

    // A list without packets leaves the block alone.
    List none;
    HandleGuard other(NewHandleOf(Dataset(602, "x")));
    XmpReadPacket(none.ud, other.h);
    EXPECT_EQ(HandleBytes(other.h), Dataset(602, "x"));
}

TEST(XmpWrite, PacketSizes) {
    HandleGuard block(NewHandleOf(Dataset(632, "A caption")));
    HandleGuard packet(NewHandle(0));
    Boolean grown = false;
    ASSERT_EQ(XmpWritePacket(packet.h, block.h, &grown, 0), noErr);
    EXPECT_TRUE(grown);
    const Size first = GetHandleSize(packet.h);
    EXPECT_EQ(first % 4, 0);
    std::string text = Str(HandleBytes(packet.h));
    EXPECT_EQ(text.rfind("<?xpacket begin=", 0), 0u);
    EXPECT_NE(text.find("<?xpacket end=\"w\"?>"), std::string::npos);
    // At least 4096 bytes of room beyond what the packet needs.
    std::size_t end = text.find("</x:xmpmeta>");
    ASSERT_NE(end, std::string::npos);
    EXPECT_GE(std::size_t(first), end + 4096);

    // A change that fits is written into the same size.
    HandleGuard block2(NewHandleOf(Dataset(632, "Another caption")));
    ASSERT_EQ(XmpWritePacket(packet.h, block2.h, &grown, 0), noErr);
    EXPECT_FALSE(grown);
    EXPECT_EQ(GetHandleSize(packet.h), first);
    std::string caption;
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "Caption", &caption));
    EXPECT_EQ(caption, "Another caption");

    // One that does not fit grows the packet.
    HandleGuard big(NewHandleOf(Dataset(632, std::string(9000, 'x'))));
    ASSERT_EQ(XmpWritePacket(packet.h, big.h, &grown, 0), noErr);
    EXPECT_TRUE(grown);
    EXPECT_GT(GetHandleSize(packet.h), first);

    // The size limit is honoured: a packet that cannot fit is refused and the handle kept.
    Bytes before = HandleBytes(packet.h);
    HandleGuard huge(NewHandleOf(Dataset(632, std::string(30000, 'y'))));
    EXPECT_NE(XmpWritePacket(packet.h, huge.h, &grown, 20000), noErr);
    EXPECT_EQ(HandleBytes(packet.h), before);
    HandleGuard fresh(NewHandle(0));
    ASSERT_EQ(XmpWritePacket(fresh.h, block.h, &grown, kXmpJpegPacketLimit), noErr);
    EXPECT_LE(GetHandleSize(fresh.h), kXmpJpegPacketLimit);

    EXPECT_EQ(XmpWritePacket(nullptr, block.h, &grown, 0), nilHandleErr);
    HandleGuard garbage(NewHandleOf(std::string("<x:xmpmeta><unclosed")));
    EXPECT_EQ(XmpWritePacket(garbage.h, block.h, &grown, 0), kBadMediaDataErr);
    EXPECT_EQ(Str(HandleBytes(garbage.h)), "<x:xmpmeta><unclosed");
}

TEST(XmpWrite, ArraysTextAndDates) {
    HandleGuard block(NewHandleOf(Cat({Dataset(537, "a"), Dataset(537, "b"), Dataset(632, "caf\xE9"), Dataset(567, "20040709"),
                                       Dataset(604, "Here"), Dataset(738, "Terms")})));
    HandleGuard packet(NewHandleOf(Packet("quantaro:Location='Own' photoshop:Headline='Old headline'")));
    ASSERT_EQ(XmpWritePacket(packet.h, block.h, nullptr, 0), noErr);
    std::string text = Str(HandleBytes(packet.h));
    std::string v;
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "Keywords[1]", &v));
    EXPECT_EQ(v, "a");
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "Keywords[2]", &v));
    EXPECT_EQ(v, "b");
    EXPECT_FALSE(Property(packet.h, kXmpNsPhotoshop, "Keywords[3]", &v));
    EXPECT_NE(text.find("<rdf:Bag>"), std::string::npos);
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "Caption", &v));
    EXPECT_EQ(v, "caf\xC3\xA9");  // 8-bit text written as UTF-8
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "DateCreated", &v));
    EXPECT_EQ(v, "2004-07-09");
    ASSERT_TRUE(Property(packet.h, kXmpNsIptcCore, "Location", &v));
    EXPECT_EQ(v, "Here");
    ASSERT_TRUE(Property(packet.h, kXmpNsQuantaro, "Location", &v));
    EXPECT_EQ(v, "Own");  // the own Location is never written
    ASSERT_TRUE(Property(packet.h, kXmpNsRights, "UsageTerms[1]", &v));
    EXPECT_EQ(v, "Terms");
    EXPECT_FALSE(Property(packet.h, kXmpNsPhotoshop, "Headline", &v));  // not in the block: removed
    EXPECT_NE(text.find("xmlns:quantaro=\"http://ns.lyrex-ondrel.example/quantaro/1.0/\""), std::string::npos);

    // Without keywords the property goes.
    HandleGuard none(NewHandleOf(Dataset(632, "x")));
    ASSERT_EQ(XmpWritePacket(packet.h, none.h, nullptr, 0), noErr);
    EXPECT_FALSE(Property(packet.h, kXmpNsPhotoshop, "Keywords[1]", &v));
}

TEST(XmpWrite, EmptyArrayItemsDoNotHideFullOnes) {
    HandleGuard block(NewHandleOf(Cat({Dataset(537, ""), Dataset(537, "full")})));
    HandleGuard packet(NewHandle(0));
    ASSERT_EQ(XmpWritePacket(packet.h, block.h, nullptr, 0), noErr);
    std::string v;
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "Keywords[1]", &v));
    EXPECT_EQ(v, "full");

    // Empty items of other arrays in the packet are blanked to spaces, the size kept.
    HandleGuard foreign(NewHandleOf(Packet("", "<dc:type><rdf:Bag><rdf:li></rdf:li><rdf:li>kept</rdf:li></rdf:Bag></dc:type>")));
    HandleGuard empty(NewHandle(0));
    ASSERT_EQ(XmpWritePacket(foreign.h, empty.h, nullptr, 0), noErr);
    std::string text = Str(HandleBytes(foreign.h));
    EXPECT_EQ(text.find("<rdf:li/>"), std::string::npos);
    EXPECT_NE(text.find("<rdf:li>kept</rdf:li>"), std::string::npos);
}

TEST(XmpWrite, TextOutsideTheEightBitSetSurvivesARewrite) {
    // Read at level 200 the Greek caption becomes '?'s; writing the unchanged block back must
    // not replace the original.
    const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3";
    HandleGuard packet(NewHandleOf(Packet("photoshop:City='" + greek + "'",
                                          "<photoshop:SupplementalCategories><rdf:Bag><rdf:li>" + greek +
                                              "</rdf:li></rdf:Bag></photoshop:SupplementalCategories>")));
    HandleGuard block(NewHandle(0));
    XmpReadPacketData(packet.h, block.h);
    ASSERT_EQ(Values(block.h, 602), (std::vector<std::string>{"???"}));
    ASSERT_EQ(XmpWritePacket(packet.h, block.h, nullptr, 0), noErr);
    std::string v;
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "City", &v));
    EXPECT_EQ(v, greek);
    ASSERT_TRUE(Property(packet.h, kXmpNsPhotoshop, "SupplementalCategories[1]", &v));
    EXPECT_EQ(v, greek);
}

TEST(XmpWrite, EveryWritableRowRoundTrips) {
    LevelGuard level;
    MetadataSetFormatLevel(200);
    const XmpFieldMapRow* rows = XmpFieldMap();
    for (int i = 0; i < kXmpFieldMapRows; ++i) {
        const XmpFieldMapRow& row = rows[i];
        if (!row.write) continue;
        const bool array = row.write == &XmpWriteArray;
        const bool date = row.write == &XmpWriteDate;
        Bytes datasets = date ? Dataset(UInt16(row.fieldId), "20111231")
                              : Cat({Dataset(UInt16(row.fieldId), "V\xE9" "1"),
                                     array ? Dataset(UInt16(row.fieldId), "V2") : Bytes{}});
        HandleGuard block(NewHandleOf(datasets));
        HandleGuard packet(NewHandle(0));
        ASSERT_EQ(XmpWritePacket(packet.h, block.h, nullptr, 0), noErr) << row.path;
        HandleGuard back(NewHandle(0));
        XmpReadPacketData(packet.h, back.h);
        EXPECT_EQ(Values(back.h, UInt16(row.fieldId)), Values(block.h, UInt16(row.fieldId))) << row.path;
    }
}

}  // namespace
