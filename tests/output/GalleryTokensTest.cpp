// What the tokens of a template become on index and media pages, and the thumbnail table of
// an index page, over a catalog made here.
#include "GalleryTestSupport.h"

#include "output/html/HtmlExpand.h"
#include "output/html/HtmlIndexTable.h"

class GalleryTokensTest : public GalleryTest {
protected:
    // n pictures p1.jpg.. with their records filled as a build fills them.
    void MakeItems(int n, SInt32 columns, SInt32 rows) {
        std::vector<std::string> files;
        for (int i = 1; i <= n; ++i) {
            Picture("p" + std::to_string(i) + ".jpg");
            files.push_back("media/p" + std::to_string(i) + ".jpg");
        }
        AddAndSelect(files);
        state.catalog = catalog;
        state.settings = HtmlSettingsDefaults();
        state.columns = columns;
        state.rows = rows;
        state.now = kNow;
        state.items.resize(std::size_t(n));
        for (int i = 1; i <= n; ++i) {
            GalleryItemRec& it = state.items[std::size_t(i - 1)];
            it.pageName = "p" + std::to_string(i) + ".htm";
            it.previewName = "p" + std::to_string(i) + ".jpg";
            it.sourceName = it.previewName;
            it.previewWidth = 96;
            it.previewHeight = 72;
            it.sourceWidth = 640;
            it.sourceHeight = 480;
            it.sourceFileSize = 2048;
            it.previewFileSize = 1000 + i;
            it.mediaKind = kGalleryMediaImage;
        }
        state.indexPages = (n + columns * rows - 1) / (columns * rows);
    }
    std::string Expand(const std::string& text, SInt32 n, GallerySide side) {
        state.side = side;
        std::string out = text;
        EXPECT_EQ(ExpandPageTokens(state, n, &out), noErr);
        return out;
    }
    GalleryBuildState state;
};

TEST_F(GalleryTokensTest, TokensBecomeTheirValuesOnEachSide) {
    MakeItems(3, 4, 4);
    GallerySetSiteTitle(catalog, "Trip");
    const struct {
        const char* token;
        GallerySide side;
        SInt32 n;
        const char* text;
    } cases[] = {
        {"(Lyrex:Catalog)", GallerySide::Index, 1, "Trip"},
        {"(Lyrex:CATALOG)", GallerySide::Media, 2, "Trip"},
        {"(Lyrex:Running)/(Lyrex:Total)", GallerySide::Media, 2, "2/3"},
        {"(Lyrex:Running)/(Lyrex:Total)", GallerySide::Index, 1, "1/1"},
        {"(Lyrex:WordPrevious) (Lyrex:WordIndex) (Lyrex:WordNext)", GallerySide::Media, 1, "previous index next"},
        {"(Lyrex:HTMLCharset)", GallerySide::Index, 1, "iso-8859-1"},
        {"(Lyrex:Index)", GallerySide::Index, 1, " "},
        {"[(Lyrex:GoNext)][(Lyrex:GoPrevious)]", GallerySide::Index, 1, "[][]"},
        {"(Lyrex:GoPrevious) (Lyrex:GoNext) (Lyrex:GoIndex)", GallerySide::Media, 1, "p3.htm p2.htm ../index.htm"},
        {"(Lyrex:GoNext)", GallerySide::Media, 3, "p1.htm"},
        {"(Lyrex:Media)", GallerySide::Index, 1, "(Lyrex:Media)"},
        {"(Lyrex:PreloadNext)(Lyrex:PreviewNext)", GallerySide::Index, 1, "(Lyrex:PreloadNext)(Lyrex:PreviewNext)"},
        {"(Lyrex:IPTCFields)(Lyrex:EXIFFields)", GallerySide::Media, 1, "(Lyrex:IPTCFields)(Lyrex:EXIFFields)"},
        {"(Lyrex:Media)", GallerySide::Media, 2,
         "<img src=\"image/p2.jpg\" alt=\"p2.jpg\" border=\"0\" width=\"640\" height=\"480\" />"},
        {"(Lyrex:PreloadNext)", GallerySide::Media, 3,
         "<img src=\"image/p1.jpg\" alt=\"p1.jpg\" border=\"0\" width=\"1\" height=\"1\" />"},
        {"(Lyrex:Preview)", GallerySide::Index, 2,
         "<a href=\"source/p2.htm\"><img src=\"preview/p2.jpg\" alt=\"p2\" width=\"96\" height=\"72\" border=\"0\" /></a>"},
        {"(Lyrex:PreviewPrevious)", GallerySide::Media, 1,
         "<a href=\"p3.htm\"><img src=\"../preview/p3.jpg\" alt=\"p3\" width=\"96\" height=\"72\" border=\"0\" /></a>"},
        {"(Lyrex:PreviewURL) (Lyrex:SourceURL) (Lyrex:MediaURL)", GallerySide::Index, 1,
         "preview/p1.jpg source/p1.htm source/image/p1.jpg"},
        {"(Lyrex:PreviewURL) (Lyrex:SourceURL) (Lyrex:MediaURL)", GallerySide::Media, 1,
         "../preview/p1.jpg p1.htm image/p1.jpg"},
        {"(Lyrex:PreviewFile) (Lyrex:SourceFile) (Lyrex:MediaFile)", GallerySide::Media, 1, "p1.jpg p1.htm p1.jpg"},
        {"(Lyrex:PreviewScale) (Lyrex:PreviewWidth)x(Lyrex:PreviewHeight)", GallerySide::Index, 1, "25 96x72"},
        {"(Lyrex:PreviewSize) / (Lyrex:FileSize)", GallerySide::Index, 1, "1001 bytes / 2 KB"},
        {"(Lyrex:Width) (Lyrex:Height) (Lyrex:Dimensions)", GallerySide::Media, 1, "640 480 640x480"},
        {"(Lyrex:BackgroundColor) (Lyrex:LinkColor) (Lyrex:TextColor) (Lyrex:TextBackColor)", GallerySide::Media, 1,
         "FFFFFF 0000FF 000000 EEEEEE"},
        {"(Lyrex:Headline)", GallerySide::Media, 1, " "},
        {"(Lyrex:Fields)", GallerySide::Media, 1, ""},
        {"(Lyrex:Nothing) (Lyrex:A&B)", GallerySide::Index, 1, "?Lyrex:Nothing) ?Lyrex:A&amp;B)"},
        {"(Lyrex:Date) (Lyrex:Time)", GallerySide::Index, 1, "05/06/24 07:08:09"},
    };
    for (const auto& c : cases) EXPECT_EQ(Expand(c.token, c.n, c.side), c.text) << c.token;
}

TEST_F(GalleryTokensTest, FieldTokensShowAllValuesOfAnnotationFields) {
    MakeItems(2, 4, 4);
    Annotate(1, "Sun <and> sea", {"beach", "caf\xE9"});
    EXPECT_EQ(Expand("(Lyrex:Keywords)|(Lyrex:Caption)|(Lyrex:Filename)", 1, GallerySide::Media),
              "beach, caf&eacute;|Sun &lt;and&gt; sea|p1.jpg");
    state.settings.includeFileNames = 1;
    EXPECT_EQ(Expand("(Lyrex:Fields)", 1, GallerySide::Index), "p1");
    state.settings.includeMediaInfo = 1;
    EXPECT_EQ(Expand("(Lyrex:Fields)", 1, GallerySide::Media), "<b>File Name:</b><br>p1<br><br><b>Caption:</b><br>Sun &lt;and&gt; sea");
    // A field with no value adds nothing to the list.
    EXPECT_EQ(Expand("(Lyrex:Fields)", 2, GallerySide::Media), "<b>File Name:</b><br>p2");
}

TEST_F(GalleryTokensTest, TenItemsInFourByTwoCellsFillTwoTablesAndLinkEachOther) {
    MakeItems(10, 4, 2);
    state.side = GallerySide::Index;
    const std::string tmpl = "<TABLE border=\"0\"><TR><TD>(Lyrex:Preview)</TD></TR><TR><TD>(Lyrex:Running)</TD></TR></TABLE>";
    std::string page1 = tmpl;
    ASSERT_EQ(WriteGalleryIndexTable(state, 4, 2, 1, 8, &page1), noErr);
    EXPECT_EQ(Count(page1, "<tr>"), 4);
    EXPECT_EQ(Count(page1, "<td>"), 16);
    for (int i = 1; i <= 8; ++i) EXPECT_NE(page1.find("source/p" + std::to_string(i) + ".htm"), std::string::npos) << i;
    EXPECT_EQ(page1.find("source/p9.htm"), std::string::npos);
    // Page 2 keeps one row of two cells.
    std::string page2 = tmpl;
    ASSERT_EQ(WriteGalleryIndexTable(state, 4, 1, 9, 12, &page2), noErr);
    EXPECT_EQ(Count(page2, "<tr>"), 2);
    EXPECT_EQ(Count(page2, "<td>"), 4);
    EXPECT_NE(page2.find("source/p10.htm"), std::string::npos);
    EXPECT_EQ(IndexNavigationHtml(state, 1), "1-8 | <a href=\"index2.htm\" target=\"_self\">9-10</a>");
    state.side = GallerySide::Media;
    EXPECT_EQ(IndexNavigationHtml(state, 10),
              "<a href=\"../index.htm\" target=\"_index\">1-8</a> | <a href=\"../index2.htm\" target=\"_index\">9-10</a>");
    EXPECT_EQ(IndexPageFileName(state, 1, false), "index2.htm");
    EXPECT_EQ(IndexPageFileName(state, 2, true), "index.htm");
    EXPECT_EQ(Expand("(Lyrex:GoIndex)", 9, GallerySide::Media), "../index2.htm");
}

TEST_F(GalleryTokensTest, ATemplateWithoutAThumbnailTableIsRefused) {
    MakeItems(1, 4, 4);
    for (const char* text : {"<p>(Lyrex:Catalog)</p>", "<p>(Lyrex:Preview)</p>", "<table>(Lyrex:Preview)</table>",
                             "<table></table><tr>(Lyrex:Preview)"}) {
        std::string t = text;
        EXPECT_EQ(WriteGalleryIndexTable(state, 4, 4, 1, 16, &t), kGalleryNoTableErr) << text;
    }
}

TEST_F(GalleryTokensTest, TheFirstItemTokenInTableOrderChoosesTheTable) {
    MakeItems(2, 2, 1);
    // Fields comes before Preview in the text, but Preview comes first in the table order.
    std::string t = "<table><tr><td>(Lyrex:Fields)</td></tr></table><table><tr><td>(Lyrex:Preview)</td></tr></table>";
    ASSERT_EQ(WriteGalleryIndexTable(state, 2, 1, 1, 2, &t), noErr);
    EXPECT_EQ(Count(t, "<td>"), 3);
    EXPECT_NE(t.find("source/p2.htm"), std::string::npos);
}
