// How the program reads a command line: its own at start-up and one handed over by a second
// start.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, TheCatalogSuffixIgnoresLetterCaseButNotTheRestOfTheName) {
    struct Case { const char* path; bool catalog; };
    const Case cases[] = {
        {"/a/b.lxc", true},  {"/a/B.LXC", true},    {"x.LxC", true},     {".lxc", true},
        {"/a/b.lxc2", false}, {"/a/b.lx", false},   {"/a/lxc", false},   {"", false},
        {"/a/b.lxc ", false}, {"/a/b.jpg", false},  {"/a/b_lxc", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.catalog, HasCatalogSuffix(c.path)) << c.path;
}

TEST(CommandLine, AFirstArgumentNamingACatalogOpensOnlyThatCatalog) {
    const CommandLineRequest r = ClassifyArguments({"/pics/Trip 2004.LXC", "/pics/a.jpg"});
    EXPECT_EQ(CommandLineRequest::kOpenCatalog, r.kind);
    EXPECT_EQ(std::vector<std::string>{"/pics/Trip 2004.LXC"}, r.paths);
}

TEST(CommandLine, OtherArgumentsAreMediaPathsInTheirOrderEvenWhenALaterOneIsACatalog) {
    const CommandLineRequest r = ClassifyArguments({"/pics/b.jpg", "", "/pics/\"quoted\" name", "/x/c.lxc"});
    EXPECT_EQ(CommandLineRequest::kAddMedia, r.kind);
    EXPECT_EQ((std::vector<std::string>{"/pics/b.jpg", "/pics/\"quoted\" name", "/x/c.lxc"}), r.paths);
}

TEST(CommandLine, NoArgumentsOrOnlyEmptyOnesAskForNothing) {
    EXPECT_EQ(CommandLineRequest::kNothing, ClassifyArguments({}).kind);
    EXPECT_EQ(CommandLineRequest::kNothing, ClassifyArguments({"", ""}).kind);
}

}  // namespace
