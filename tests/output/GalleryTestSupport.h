// A catalog of real pictures, sounds and movies made by the test, the gallery's settings stored
// as the sheet stores them, builds into a folder of the test, and the checks a visitor of the
// site would make: every link and picture of every page points at a file of the site.
#pragma once

#include "ConvertTestSupport.h"

#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemRecords.h"
#include "media/metadata/IptcBlock.h"
#include "output/html/GallerySite.h"
#include "output/html/HtmlSettings.h"
#include "support/ImageFixtures.h"
#include "support/MovieFixtures.h"

#include <filesystem>
#include <regex>
#include <set>

// The progress window as the gallery build drives it; cancels at a given update.
class GalleryProgressHooks : public ViewHooks {
public:
    void ProgressOpen(short, long total, const std::string& titleUtf8) override {
        title = titleUtf8;
        this->total = total;
        ++opens;
    }
    OSErr ProgressUpdate(const long*, const std::string*, const std::string* line2, const std::string*) override {
        if (line2) lines.push_back(*line2);
        ++updates;
        return cancelAtUpdate && updates >= cancelAtUpdate ? OSErr(userCanceledErr) : OSErr(noErr);
    }
    void ProgressEnd() override { ++ends; }

    std::string title;
    long total = 0;
    int opens = 0, updates = 0, ends = 0, cancelAtUpdate = 0;
    std::vector<std::string> lines;
};

class GalleryTest : public ConvertTest {
protected:
    // A fixed moment for the pages' date (2024-05-06 07:08:09, Mac seconds).
    static constexpr UInt32 kNow = 3797824089u;

    void SetUp() override {
        ConvertTest::SetUp();
        SetUiHooks(&progress);
        std::filesystem::create_directories(folder / "site");
        settings = HtmlSettingsDefaults();
    }
    // Writes a JPEG picture of the size into media/<name> (name in UTF-8).
    void Picture(const std::string& name, int w = 48, int h = 36) { fixtures::WriteFile(folder / ("media/" + name), fixtures::Jpeg(w, h)); }
    // Sets the item's caption (UTF-8) and keywords (Windows-1252).
    void Annotate(SInt32 n, const std::string& captionUtf8, const std::vector<std::string>& keywords = {}) {
        ItemRec r{};
        ASSERT_EQ(ItemReadRecord(catalog, n, &r), noErr);
        Handle block = NewHandle(0);
        IptcSetDataset(kFieldCaption, 1, captionUtf8.data(), SInt16(captionUtf8.size()), block, kIptcAppend, IptcMarkerUtf8);
        SInt16 k = 0;
        for (const auto& word : keywords)
            IptcSetDataset(kFieldKeywords, ++k, word.data(), SInt16(word.size()), block, kIptcAppend, IptcMarkerAnsi);
        ASSERT_EQ(CatalogUpdateVisibleItem(catalog, n, &r, nullptr, block, nullptr, nullptr, nullptr, false), noErr);
        DisposeHandle(block);
    }
    UInt16 Build(FSSpec* first = nullptr) {
        EXPECT_EQ(SaveHtmlSettings(&settings), noErr);
        FSSpec firstPage;
        const UInt16 result = BuildHtmlGallery(catalog, Folder("site"), kGalleryTemplatesFolder, &firstPage, kNow);
        if (first) *first = firstPage;
        return result;
    }
    std::string Site(const std::string& rel) { return folder / ("site/" + rel); }
    std::string Page(const std::string& rel) { return TempFolder::Read(Site(rel)); }
    bool Exists(const std::string& rel) { return std::filesystem::exists(Site(rel)); }
    // Every page of the site (paths relative to it).
    std::vector<std::string> Pages() {
        std::vector<std::string> out;
        for (auto& e : std::filesystem::recursive_directory_iterator(folder / "site")) {
            const std::string ext = e.path().extension().string();
            if (ext == ".htm" || ext == ".html") out.push_back(std::filesystem::relative(e.path(), folder / "site").string());
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    // The href and src values of a page that point into the site (not "#" or web addresses).
    static std::vector<std::string> Links(const std::string& html) {
        std::vector<std::string> out;
        static const std::regex attribute(R"re(\b(?:href|src)="([^"]*)")re");
        for (std::sregex_iterator it(html.begin(), html.end(), attribute), end; it != end; ++it) {
            const std::string v = (*it)[1];
            if (v.empty() || v.rfind("http", 0) == 0) continue;
            out.push_back(v);
        }
        return out;
    }
    static std::string PercentDecode(const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '%' && i + 2 < s.size()) {
                out += char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += s[i];
            }
        }
        return out;
    }
    // Links of every page that resolve to no file of the site.
    std::vector<std::string> BrokenLinks() {
        std::vector<std::string> broken;
        for (const auto& page : Pages()) {
            const auto base = std::filesystem::path(Site(page)).parent_path();
            for (const auto& link : Links(Page(page))) {
                const auto target = std::filesystem::weakly_canonical(base / PercentDecode(link));
                const auto root = std::filesystem::weakly_canonical(folder / "site");
                const bool inside = target.string().rfind(root.string(), 0) == 0;
                if (!inside || !std::filesystem::is_regular_file(target)) broken.push_back(page + " -> " + link);
            }
        }
        return broken;
    }
    static int Count(const std::string& text, const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
        return n;
    }

    HtmlSettingsRec settings{};
    GalleryProgressHooks progress;
};
