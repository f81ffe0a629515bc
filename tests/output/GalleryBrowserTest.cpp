// A built gallery as a visitor sees it: every page opened in a headless Chromium (file://
// addresses), every picture decoded with a width above 0, every link leading to a file of the
// site, and the markup checked by HTML Tidy. A screenshot of the first index page is left in
// the build folder ("gallery-index.png") for people to look at.
#include "GalleryTestSupport.h"

#include "output/html/HtmlExpand.h"

#include <fstream>
#include <sstream>

namespace {

bool HaveTool(const std::string& name) { return RunTool({"sh", "-c", "command -v \"$0\" >/dev/null", name}) == 0; }

// Chromium as the test runs it: no sandbox (tests may run as root), a profile of the test's
// own, file pages allowed to look into each other (the checker page reads the pages it loads).
std::vector<std::string> Chromium(const std::string& profile) {
    return {"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-extensions",
            "--allow-file-access-from-files", "--user-data-dir=" + profile};
}

}  // namespace

TEST_F(GalleryTest, EveryPageLoadsInABrowserWithAllItsPictures) {
    if (!HaveTool("chromium")) GTEST_SKIP() << "chromium is not installed (scripts/install-deps)";
    std::vector<std::string> files;
    const std::vector<std::string> names = {"Beach day.jpg", "R&D \"one\" #2 100%.jpg", "Caf\xC3\xA9.jpg",
                                            "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.jpg", "Photo.JPG"};
    for (const auto& n : names) {
        Picture(n, 120, 90);
        files.push_back("media/" + n);
    }
    std::filesystem::create_directories(folder / "media/more");
    for (int i = 1; i <= 4; ++i) {
        Picture("more/p" + std::to_string(i) + ".jpg", 90, 120);
        files.push_back("media/more/p" + std::to_string(i) + ".jpg");
    }
    ASSERT_TRUE(moviefixtures::MakeSound(folder / "media/tone.wav", {"-c:a", "pcm_s16le"}));
    files.push_back("media/tone.wav");
    AddAndSelect(files);
    Annotate(1, "<b>Sun</b> & sea");
    GallerySetSiteTitle(catalog, "Summer & more");
    settings.columns = 4;
    settings.rows = 2;
    settings.includeFileNames = 1;
    settings.includeMediaInfo = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 12u);
    ASSERT_TRUE(BrokenLinks().empty()) << ::testing::PrintToString(BrokenLinks());

    // A page of our own loads each page in turn and writes what it found into its own text.
    std::string list;
    for (const auto& p : pages) list += "\"file://" + UrlPathEncode(Site(p)) + "\",";
    const std::string checker = folder / "checker.html";
    std::ofstream(checker) << R"(<!DOCTYPE html><html><body><pre id="out"></pre><script>
const pages = [)" << list << R"(];
const out = [];
function check(url) {
  return new Promise(done => {
    const frame = document.createElement('iframe');
    frame.onload = () => {
      let line = url + ' ';
      try {
        const doc = frame.contentDocument;
        const images = Array.from(doc.images);
        const bad = images.filter(i => !(i.complete && i.naturalWidth > 0)).map(i => i.getAttribute('src'));
        line += 'title=' + doc.title.length + ' images=' + images.length + ' bad=[' + bad.join(' ') + ']';
      } catch (e) { line += 'error ' + e; }
      out.push(line);
      frame.remove();
      done();
    };
    frame.src = url;
    document.body.appendChild(frame);
  });
}
(async () => {
  for (const p of pages) await check(p);
  document.getElementById('out').textContent = out.join('\n') + '\nDONE';
})();
</script></body></html>)";
    std::string dom;
    auto args = Chromium(folder / "profile");
    args.insert(args.end(), {"--virtual-time-budget=20000", "--dump-dom", "file://" + checker});
    ASSERT_EQ(RunTool(args, &dom), 0);
    ASSERT_NE(dom.find("DONE"), std::string::npos) << dom;
    int checked = 0;
    std::istringstream lines(dom.substr(dom.find("<pre id=\"out\">") + 14));
    for (std::string line; std::getline(lines, line) && line.find("DONE") == std::string::npos;) {
        ++checked;
        EXPECT_NE(line.find(" title="), std::string::npos) << line;
        EXPECT_EQ(line.find(" title=0 "), std::string::npos) << line;
        EXPECT_NE(line.find("bad=[]"), std::string::npos) << line;
        // Every page shows pictures, but the sound's page, whose player is an object.
        if (line.find("tone.htm") == std::string::npos) {
            EXPECT_EQ(line.find(" images=0 "), std::string::npos) << line;
        }
    }
    EXPECT_EQ(checked, int(pages.size()));

    // The first index page as people see it.
    const std::string shot = (std::filesystem::current_path() / "gallery-index.png").string();
    auto shotArgs = Chromium(folder / "profile");
    shotArgs.insert(shotArgs.end(), {"--window-size=1024,900", "--screenshot=" + shot, "file://" + UrlPathEncode(Site("index.htm"))});
    EXPECT_EQ(RunTool(shotArgs), 0);
    EXPECT_GT(std::filesystem::file_size(shot), 1000u);
}

TEST_F(GalleryTest, ThePagesAreValidHtml) {
    if (!HaveTool("tidy")) GTEST_SKIP() << "tidy is not installed (scripts/install-deps)";
    Picture("Beach day.jpg");
    Picture("R&D \"one\".jpg");
    ASSERT_TRUE(moviefixtures::MakeSound(folder / "media/tone.wav", {"-c:a", "pcm_s16le"}));
    AddAndSelect({"media/Beach day.jpg", "media/R&D \"one\".jpg", "media/tone.wav"});
    Annotate(1, "A <caption> & \"more\"\r\nline two");
    GallerySetSiteTitle(catalog, "Site <one> & \"two\"");
    settings.includeFileNames = 1;
    settings.includeMediaInfo = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    for (const auto& page : Pages()) {
        std::string report;
        // tidy answers 2 when it found errors (1 for warnings only); -e lists them.
        const int status = RunTool({"sh", "-c", "tidy -q -e \"$0\" 2>&1", Site(page)}, &report);
        EXPECT_LT(status, 2) << page << "\n" << report;
    }
}
