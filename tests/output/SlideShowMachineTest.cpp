// The running show without windows: a run's checks and its first item, the due rule over a
// clock the test moves, the order forward, backward and shuffled, loops, pause and resume, a
// movie's end, per-item overrides (the grid layout among them, which must not re-lay the stage
// out without end), keys, zoom and the end that hands the settings back.
//
// The stage here records what the show asks of it; the presenters themselves are tested with
// the media layer, and the real stage in SlideStageTest.
#include "media/kinds/KindEngine.h"
#include "output/slideshow/SlideShowMachine.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

class RecordingStage : public SlideMedia {
public:
    struct Slot {
        std::string file;
        bool shows = false;
        bool movie = false;
        bool ended = false;
        bool pendingEnd = false;
        bool playing = false;
        UInt8 mode = 0;
        UInt16 percent = 100;
        UInt16 volume = 0;
    };
    Slot slots[kSlideSlots];
    std::vector<int> effects;   // every Present
    int beeps = 0;
    int rectsSet = 0;

    bool Open(int slot, const FSSpec& file, OSType, Handle preview) override {
        Slot& s = slots[slot];
        s = Slot{};
        s.file = file.path;
        s.shows = file.path.find("broken") == std::string::npos || preview != nullptr;
        s.movie = s.shows && file.path.size() > 4 && file.path.substr(file.path.size() - 4) == ".mov";
        return s.shows;
    }
    bool HoldsFile(int slot, const FSSpec& file) override { return slots[slot].shows && slots[slot].file == file.path; }
    void Close(int slot) override { slots[slot] = Slot{}; }
    bool ShowsSomething(int slot) override { return slots[slot].shows; }
    bool IsMovie(int slot) override { return slots[slot].movie; }
    bool HasEnded(int slot) override { return !slots[slot].shows || slots[slot].ended; }
    void SetRect(int, const Rect&) override { ++rectsSet; }
    void SetScale(int slot, UInt8 mode, UInt16 percent) override {
        slots[slot].mode = mode;
        slots[slot].percent = percent;
    }
    UInt16 Percent(int slot) override { return slots[slot].percent; }
    void SetVolume(int slot, UInt16 level) override { slots[slot].volume = level; }
    void Start(int slot) override { slots[slot].playing = true; }
    void Stop(int slot) override { slots[slot].playing = false; }
    void ProcessEvents(int slot) override {
        if (slots[slot].pendingEnd) slots[slot].ended = true;
    }
    void Click(int, Point, bool) override {}
    void SetBackground(const RGBColor&) override {}
    void KeepOldPicture() override {}
    void Erase() override {}
    void DrawCell(int, const SlideCellText&) override {}
    void Present(int effect, UInt32, UInt32) override { effects.push_back(effect); }
    int TextLineHeight(const SlideShowFontSetting&) override { return 12; }
    bool PlayVoice(Handle) override { return true; }
    void Beep() override { ++beeps; }
};

struct Item {
    std::string name;
    SlideItemOverrides overrides{};
    UInt8 label = 0;
};

// The program's side, over a list of file names.
struct FakeHost {
    std::vector<Item> items;
    SlideShowSettings stored = SlideShowDefaultSettings();
    SlideShowFontSetting font = SlideShowDefaultFont();
    int loads = 0, saves = 0;
    SInt32 savedCurrent = -1;
    SlideShowSettings saved{};
    bool withItemInfo = true, withSetItemInfo = true;

    SlideHost Host() {
        SlideHost h;
        h.getItemPath = [this](SInt32 item, FSSpec* file, UInt16* orientation) -> OSErr {
            if (item < 1 || item > SInt32(items.size())) return paramErr;
            file->path = "/pictures/" + items[std::size_t(item - 1)].name;
            if (orientation) *orientation = 0;
            return noErr;
        };
        h.getItemText = [this](SInt32 item, SInt16, std::string* text) -> OSErr {
            *text = items[std::size_t(item - 1)].name;
            return noErr;
        };
        h.loadSettings = [this](SlideShowSettings* s, SlideShowFontSetting* f) -> OSErr {
            ++loads;
            if (s) *s = stored;
            *f = font;
            return noErr;
        };
        h.saveSettings = [this](const SlideShowSettings& s, const SlideShowFontSetting&, const SInt32* current) -> OSErr {
            ++saves;
            saved = s;
            savedCurrent = current ? *current : 0;
            return noErr;
        };
        if (withItemInfo)
            h.getItemInfo = [this](SInt32 item, SlideItemOverrides* o, UInt8* label, RGBColor* color) -> OSErr {
                const Item& it = items[std::size_t(item - 1)];
                if (o) *o = it.overrides;
                if (label) *label = it.label;
                if (color) *color = {0xFFFF, 0, 0};
                return noErr;
            };
        if (withSetItemInfo)
            h.setItemInfo = [this](SInt32 item, const SlideItemOverrides* o, const UInt8* label) -> OSErr {
                Item& it = items[std::size_t(item - 1)];
                if (o) it.overrides = *o;
                if (label && *label <= 9) it.label = *label;
                return noErr;
            };
        h.getCounts = [this](UInt32* v, UInt32* hidden) -> OSErr {
            if (v) *v = UInt32(items.size());
            if (hidden) *hidden = 0;
            return noErr;
        };
        h.filter = [](SInt16, SInt16) -> OSErr { return paramErr; };
        return h;
    }
};

class SlideShowMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
        SlideShowInit();
    }
    void TearDown() override {
        show.reset();
        SlideShowTerm();
    }

    void Pictures(int n) {
        for (int i = 1; i <= n; ++i) host.items.push_back({"p" + std::to_string(i) + ".jpg"});
    }
    bool Run(SInt32 start = 1, std::uint32_t seed = 7, bool extended = false) {
        SlideShowRunArgs args;
        args.host = host.Host();
        args.itemCount = SInt32(host.items.size());
        args.startItem = start;
        args.seed = seed;
        args.extended = extended;
        args.clock = [this] { return now; };
        show = SlideShowMachine::Start(std::move(args), &stage);
        if (show) show->Begin(Rect{0, 0, 600, 800});
        return show != nullptr;
    }
    // Moves the clock in 500 ms steps (30 ticks), ticking each time.
    void Wait(UInt32 ticks) {
        for (UInt32 t = 0; t < ticks; t += 30) {
            now += 30;
            show->Tick();
        }
    }
    // The items shown in order, one entry each time the focused cell changes item.
    std::vector<SInt32> Visits(UInt32 ticks) {
        std::vector<SInt32> visits{show->Current()};
        for (UInt32 t = 0; t < ticks; t += 30) {
            now += 30;
            const SInt32 before = show->Current();
            const size_t presents = stage.effects.size();
            show->Tick();
            if (show->Current() != before || stage.effects.size() != presents) visits.push_back(show->Current());
        }
        return visits;
    }

    RecordingStage stage;
    FakeHost host;
    std::unique_ptr<SlideShowMachine> show;
    UInt32 now = 1000;
};

TEST_F(SlideShowMachineTest, ARunIsRefusedWithoutItemsPathsOrPictures) {
    SlideShowRunArgs none;
    none.host = host.Host();
    none.itemCount = 0;
    EXPECT_EQ(nullptr, SlideShowMachine::Start(none, &stage)) << "no items";

    Pictures(2);
    SlideShowRunArgs noPath;
    noPath.host = host.Host();
    noPath.host.getItemPath = nullptr;
    noPath.itemCount = 2;
    EXPECT_EQ(nullptr, SlideShowMachine::Start(noPath, &stage)) << "no path getter";

    SlideShowTerm();
    EXPECT_FALSE(Run()) << "not initialised";
    SlideShowInit();

    host.items = {{"a.wav"}, {"b.mp3"}};
    EXPECT_FALSE(Run()) << "only sounds";
    EXPECT_EQ(host.loads, host.saves) << "the host gets its settings back after a refusal";
    EXPECT_FALSE(SlideShowIsRunning());

    host.items = {{"a.wav"}, {"b.jpg"}};
    ASSERT_TRUE(Run());
    EXPECT_EQ(2, show->Current()) << "the first sound is passed over";
    EXPECT_TRUE(SlideShowIsRunning());
    SlideShowRunArgs second;
    second.host = host.Host();
    second.itemCount = 2;
    EXPECT_EQ(nullptr, SlideShowMachine::Start(second, &stage)) << "one show at a time";
}

TEST_F(SlideShowMachineTest, TheStartItemIsTakenWhenItIsInRange) {
    Pictures(4);
    const struct {
        SInt32 start, first;
    } cases[] = {{0, 1}, {3, 3}, {4, 4}, {5, 1}, {-2, 1}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Run(c.start));
        EXPECT_EQ(c.first, show->Current()) << c.start;
        show.reset();
    }
}

TEST_F(SlideShowMachineTest, TheRandomFlagOfThisRunChoosesTheFirstItem) {
    Pictures(6);
    host.stored.random = 1;
    std::set<SInt32> firsts;
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        ASSERT_TRUE(Run(3, seed));
        firsts.insert(show->Current());
        show.reset();
    }
    EXPECT_GT(firsts.size(), 1u) << "the first run already draws from the shuffled order";
}

TEST_F(SlideShowMachineTest, LoadedSettingsAreNormalised) {
    Pictures(2);
    host.stored.slideSeconds = 200;
    host.stored.volume = 9;
    host.stored.optionsExpanded = 1;
    host.font.size = 5;
    ASSERT_TRUE(Run());
    EXPECT_EQ(4, show->Settings().slideSeconds);
    EXPECT_EQ(7, show->Settings().volume);
    EXPECT_EQ(10, show->Font().size);
    EXPECT_EQ(0, show->Settings().optionsExpanded) << "the normal show has the control strip only";
    show.reset();

    const struct {
        UInt8 grid, kept;
    } grids[] = {{7, 7}, {2, 1}, {6, 1}, {11, 1}, {9, 9}};
    for (const auto& g : grids) {
        host.stored = SlideShowDefaultSettings();
        host.stored.gridLayout = g.grid;
        ASSERT_TRUE(Run(1, 7, true));
        EXPECT_EQ(g.kept, show->Settings().gridLayout) << int(g.grid);
        show.reset();
    }
}

TEST_F(SlideShowMachineTest, StillsStayForTheirSecondsAndTheShowStopsAtTheEnd) {
    Pictures(3);
    host.stored.continuous = 0;
    ASSERT_TRUE(Run());
    // Shown at now - 30: the slide is due 4 s (240 ticks) after that.
    Wait(180);
    EXPECT_EQ(1, show->Current());
    Wait(30);
    EXPECT_EQ(2, show->Current());
    Wait(240);
    EXPECT_EQ(3, show->Current());
    Wait(2000);
    EXPECT_EQ(3, show->Current()) << "without continuous the last slide stays";
}

TEST_F(SlideShowMachineTest, ASlideBroughtInWithAnEffectCountsItsTimeFromTheEffectsEnd) {
    Pictures(3);
    host.stored.transition = 12;
    host.stored.slideSeconds = 1;
    ASSERT_TRUE(Run());
    // Stamped 30 ticks ahead of now: a tick before then must not see a wrapped-around time.
    show->Tick();
    EXPECT_EQ(1, show->Current());
    now += 59;
    show->Tick();
    EXPECT_EQ(1, show->Current());
    now += 31;
    show->Tick();
    EXPECT_EQ(2, show->Current());
}

TEST_F(SlideShowMachineTest, ContinuousWrapsAndZeroSecondsAdvanceEveryTick) {
    Pictures(3);
    host.stored.slideSeconds = 0;
    ASSERT_TRUE(Run());
    EXPECT_EQ((std::vector<SInt32>{1, 2, 3, 1, 2}), Visits(120));
}

TEST_F(SlideShowMachineTest, OneItemStaysWhateverTheKeys) {
    Pictures(1);
    host.stored.continuous = 0;
    ASSERT_TRUE(Run());
    show->Key(SlideKey::Next);
    EXPECT_EQ(1, show->Current());
    show->Key(SlideKey::Previous);
    EXPECT_EQ(1, show->Current());
    Wait(1200);
    EXPECT_EQ(1, show->Current());
}

TEST_F(SlideShowMachineTest, ArrowsAlwaysWrapAndIgnoreRandom) {
    Pictures(3);
    host.stored.continuous = 0;
    host.stored.random = 1;
    host.stored.playState = kSlidePaused;
    ASSERT_TRUE(Run(1));
    const SInt32 first = show->Current();
    show->Key(SlideKey::Previous);
    EXPECT_EQ(first == 1 ? 3 : first - 1, show->Current());
    show->Key(SlideKey::Next);
    EXPECT_EQ(first, show->Current());
}

TEST_F(SlideShowMachineTest, RandomShowsEveryItemOnceThenStopsUnlessContinuous) {
    Pictures(5);
    host.stored.random = 1;
    host.stored.continuous = 0;
    host.stored.slideSeconds = 1;
    ASSERT_TRUE(Run(1, 42));
    std::vector<SInt32> visits = Visits(60 * 20);
    ASSERT_EQ(5u, visits.size()) << "every item once, then the show stays";
    std::sort(visits.begin(), visits.end());
    EXPECT_EQ((std::vector<SInt32>{1, 2, 3, 4, 5}), visits);
    show.reset();

    host.stored.continuous = 1;
    ASSERT_TRUE(Run(1, 42));
    visits = Visits(60 * 20);
    EXPECT_GT(visits.size(), 10u) << "a new shuffled order starts";
    for (size_t round = 0; round + 5 <= visits.size(); round += 5) {
        std::vector<SInt32> one(visits.begin() + long(round), visits.begin() + long(round) + 5);
        std::sort(one.begin(), one.end());
        EXPECT_EQ((std::vector<SInt32>{1, 2, 3, 4, 5}), one) << "round from " << round;
    }
}

TEST_F(SlideShowMachineTest, APausedShowStopsItsMediaAndWaits) {
    host.items = {{"a.jpg"}, {"m.mov"}, {"c.jpg"}};
    host.stored.slideSeconds = 1;
    ASSERT_TRUE(Run(2));
    EXPECT_TRUE(stage.slots[1].playing);
    show->Key(SlideKey::Space);
    EXPECT_EQ(kSlidePaused, show->Settings().playState);
    EXPECT_FALSE(stage.slots[1].playing);
    stage.slots[1].pendingEnd = true;
    show->MediaEvent(1);
    Wait(600);
    EXPECT_EQ(2, show->Current()) << "paused: nothing advances";
    show->Key(SlideKey::Go);
    EXPECT_EQ(kSlideRunning, show->Settings().playState);
    EXPECT_TRUE(stage.slots[1].playing);
    Wait(30);
    EXPECT_EQ(3, show->Current());
    show->Key(SlideKey::Pause);
    show->Key(SlideKey::Pause);
    EXPECT_EQ(kSlidePaused, show->Settings().playState) << "S only pauses";
}

TEST_F(SlideShowMachineTest, AMovieStaysUntilItsEndEvent) {
    host.items = {{"m.mov"}, {"b.jpg"}};
    host.stored.slideSeconds = 1;
    ASSERT_TRUE(Run());
    Wait(3000);
    EXPECT_EQ(1, show->Current()) << "a movie is not timed by the seconds";
    stage.slots[1].pendingEnd = true;
    Wait(30);
    EXPECT_EQ(1, show->Current()) << "the end counts once the media layer's event is handled";
    show->MediaEvent(1);
    Wait(30);
    EXPECT_EQ(2, show->Current());
}

TEST_F(SlideShowMachineTest, DurationOverridesAndTheBackgroundSound) {
    host.items = {{"a.jpg"}, {"s.wav"}, {"c.jpg"}, {"d.jpg"}, {"e.jpg"}};
    host.items[0].overrides.durationMode = kSlideDurationSeconds;
    host.items[0].overrides.seconds = 10;
    host.items[3].overrides.durationMode = kSlideDurationHoldForSound;
    host.stored.slideSeconds = 1;
    ASSERT_TRUE(Run());
    Wait(540);
    EXPECT_EQ(1, show->Current()) << "held for its own 10 seconds";
    Wait(30);
    // The sound item goes to the background slot and the next tick moves on from it.
    EXPECT_EQ("/pictures/s.wav", stage.slots[0].file);
    EXPECT_TRUE(stage.slots[0].playing);
    EXPECT_EQ("/pictures/a.jpg", stage.slots[1].file) << "the picture stays on the stage";
    Wait(120);
    ASSERT_EQ(4, show->Current());
    Wait(1200);
    EXPECT_EQ(4, show->Current()) << "held while the sound plays";
    stage.slots[0].ended = true;
    Wait(30);
    EXPECT_EQ(5, show->Current());
}

TEST_F(SlideShowMachineTest, AFileThatCannotBeOpenedIsDueAtOnce) {
    host.items = {{"a.jpg"}, {"broken.jpg"}, {"c.jpg"}};
    host.stored.slideSeconds = 5;
    ASSERT_TRUE(Run());
    show->Key(SlideKey::Next);
    EXPECT_EQ(2, show->Current());
    Wait(30);
    EXPECT_EQ(3, show->Current());
}

TEST_F(SlideShowMachineTest, ScalingAndTransitionOverridesApplyToTheirItem) {
    Pictures(3);
    host.items[1].overrides.scaling = 12;      // 100%
    host.items[1].overrides.transition = 12;   // cross fade
    host.stored.transition = 4;                // barn horizontal
    ASSERT_TRUE(Run());
    EXPECT_EQ(1, stage.effects.back()) << "the first slide comes in with the setting's effect";
    EXPECT_EQ(2, stage.slots[1].mode);
    EXPECT_EQ(200, stage.slots[1].percent) << "a choice without a percent gives 200";
    show->Key(SlideKey::Next);
    EXPECT_EQ(9, stage.effects.back());
    EXPECT_EQ(10, stage.slots[1].mode);
    EXPECT_EQ(100, stage.slots[1].percent);
    show->Key(SlideKey::Next);
    EXPECT_EQ(1, stage.effects.back());
    EXPECT_EQ(2, stage.slots[1].mode);
}

TEST_F(SlideShowMachineTest, AGridLayoutOverrideReLaysOutOnceAndNotForever) {
    Pictures(6);
    host.items[1].overrides.gridLayout = 4;   // two cells
    host.items[2].overrides.gridLayout = 7;   // would ask for four inside the fill
    host.items[4].overrides.gridLayout = 4;
    host.stored.playState = kSlidePaused;
    ASSERT_TRUE(Run());
    EXPECT_EQ(1, show->CellCount());
    show->Key(SlideKey::Next);
    EXPECT_EQ(4, show->Settings().gridLayout);
    ASSERT_EQ(2, show->CellCount());
    EXPECT_EQ(2, show->CellItem(1));
    EXPECT_EQ(3, show->CellItem(2)) << "the next item fills the second cell; its own layout waits";
    const int rectsAfterFirst = stage.rectsSet;
    show->Key(SlideKey::Next);   // item 4 into the focused cell, no layout of its own
    show->Key(SlideKey::Next);   // item 5 names the current layout again
    EXPECT_EQ(5, show->Current());
    EXPECT_EQ(rectsAfterFirst, stage.rectsSet) << "the same layout is not laid out again";
}

TEST_F(SlideShowMachineTest, InteractiveClicksAdvanceAndTheTimerDoesNot) {
    Pictures(3);
    host.stored.slideSeconds = 0;
    host.stored.playState = kSlidePausedInteractive;
    ASSERT_TRUE(Run());
    show->Click({10, 10}, false, false);
    EXPECT_EQ(kSlideRunningInteractive, show->Settings().playState);
    EXPECT_EQ(2, show->Current());
    Wait(600);
    EXPECT_EQ(2, show->Current());
    show->Click({10, 10}, false, true);
    EXPECT_EQ(1, show->Current());
    show->Key(SlideKey::Interactive);
    EXPECT_EQ(kSlideRunning, show->Settings().playState);
    show->Click({10, 10}, false, false);
    EXPECT_EQ(kSlidePaused, show->Settings().playState) << "outside interactive a click pauses";
}

TEST_F(SlideShowMachineTest, ZoomStepsThroughThePercentsAndBeepsAtTheEnds) {
    Pictures(1);
    ASSERT_TRUE(Run());
    stage.slots[1].percent = 100;
    show->Key(SlideKey::ZoomIn);
    EXPECT_EQ(200, stage.slots[1].percent);
    EXPECT_EQ(13, show->Settings().scaling);
    for (int i = 0; i < 3; ++i) show->Key(SlideKey::ZoomIn);
    EXPECT_EQ(1600, stage.slots[1].percent);
    EXPECT_EQ(0, stage.beeps);
    show->Key(SlideKey::ZoomIn);
    EXPECT_EQ(1, stage.beeps);
    EXPECT_EQ(1600, stage.slots[1].percent);
    stage.slots[1].percent = 30;
    show->Key(SlideKey::ZoomOut);
    EXPECT_EQ(25, stage.slots[1].percent);
    show->Key(SlideKey::ZoomOut);
    EXPECT_EQ(2, stage.beeps);
    show->Key(SlideKey::ToggleActualSize);
    EXPECT_EQ(kSlideScaleToFit, show->Settings().scaling);
    show->Key(SlideKey::ToggleActualSize);
    EXPECT_EQ(kSlideScaleActualSize, show->Settings().scaling);
    EXPECT_EQ(1, stage.slots[1].mode);
}

TEST_F(SlideShowMachineTest, DigitsLabelTheItemThroughTheHost) {
    Pictures(2);
    ASSERT_TRUE(Run());
    show->Key(SlideKey::Label, 5);
    EXPECT_EQ(5, host.items[0].label);
    show->Key(SlideKey::Label, 0);
    EXPECT_EQ(0, host.items[0].label);
    show.reset();
    host.withSetItemInfo = false;
    ASSERT_TRUE(Run());
    show->Key(SlideKey::Label, 3);
    EXPECT_EQ(0, host.items[0].label);
    EXPECT_EQ(1, stage.beeps) << "without the setter the change fails";
}

TEST_F(SlideShowMachineTest, ScalingMenuIgnoresTheCheckedChoiceAndSpinsStopAtTheirEnds) {
    Pictures(2);
    ASSERT_TRUE(Run());
    const int redraws = show->Redraws();
    EXPECT_FALSE(show->SetScaling(kSlideScaleToFit));
    EXPECT_EQ(redraws, show->Redraws());
    EXPECT_TRUE(show->SetScaling(14));
    EXPECT_EQ(redraws + 1, show->Redraws());
    EXPECT_EQ(400, stage.slots[1].percent);
    EXPECT_FALSE(show->SetVolume(8));
    EXPECT_FALSE(show->SetVolume(-1));
    EXPECT_TRUE(show->SetVolume(0));
    EXPECT_EQ(0, stage.slots[1].volume);
    EXPECT_FALSE(show->SetSeconds(61));
    EXPECT_TRUE(show->SetSeconds(60));
    EXPECT_EQ(60, show->Settings().slideSeconds);
}

TEST_F(SlideShowMachineTest, EscapeEndsAtTheNextTickAndHandsTheSettingsBack) {
    Pictures(3);
    host.stored.playState = kSlidePaused;
    ASSERT_TRUE(Run(2));
    bool ended = false;
    SlideShowMachine::Hooks hooks;
    hooks.beforeSave = [](SlideShowSettings* s) { s->optionsLeft = 321; };
    hooks.ended = [&] { ended = true; };
    show->SetHooks(hooks);
    show->Key(SlideKey::Random);
    show->Key(SlideKey::Escape);
    EXPECT_FALSE(ended);
    show->SetMenuOpen(true);
    Wait(30);
    EXPECT_FALSE(ended) << "an open menu holds the tick";
    show->SetMenuOpen(false);
    Wait(30);
    EXPECT_TRUE(ended);
    EXPECT_TRUE(show->Ended());
    EXPECT_FALSE(SlideShowIsRunning());
    EXPECT_EQ(1, host.saves);
    EXPECT_EQ(2, host.savedCurrent);
    EXPECT_EQ(1, host.saved.random);
    EXPECT_EQ(321, host.saved.optionsLeft);
    EXPECT_FALSE(stage.slots[1].shows) << "the media are closed";
}

}  // namespace
