#include "output/slideshow/SlideShowMachine.h"

#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"
#include "platform/TimerService.h"

#include <algorithm>
#include <cstring>

namespace {

struct Module {
    bool initialised = false;
    bool running = false;
    // The working copies a run loads into and hands back from.
    SlideShowSettings settings = SlideShowDefaultSettings();
    SlideShowFontSetting font = SlideShowDefaultFont();
};
Module& TheModule() {
    static Module module;
    return module;
}

constexpr UInt32 kTransitionTicks = 60;
constexpr int kVoiceQueueSize = 17;

}  // namespace

void SlideShowInit() { TheModule().initialised = true; }
void SlideShowTerm() { TheModule().initialised = false; }
bool SlideShowIsRunning() { return TheModule().running; }

std::unique_ptr<SlideShowMachine> SlideShowMachine::Start(SlideShowRunArgs args, SlideMedia* media) {
    Module& module = TheModule();
    if (!module.initialised || module.running || args.itemCount <= 0 || !args.host.getItemPath || !media)
        return nullptr;
    std::unique_ptr<SlideShowMachine> show(new SlideShowMachine);
    SlideShowMachine& s = *show;
    s.host_ = std::move(args.host);
    s.media_ = media;
    s.clock_ = args.clock ? std::move(args.clock) : std::function<UInt32()>([] { return TickCount(); });
    s.random_.seed(args.seed ? *args.seed : std::random_device{}());
    s.extended_ = args.extended;
    s.noFirstTransition_ = args.noFirstTransition;
    s.count_ = args.itemCount;
    s.Shuffle();
    s.grids_ = SlideShowBuiltInGrids();
    if (args.grids) std::memcpy(s.grids_.data(), args.grids, sizeof s.grids_);

    // This run's settings decide the first item (its random flag), so they come first.
    SlideShowSettings loaded = module.settings;
    SlideShowFontSetting font = module.font;
    if (s.host_.loadSettings) s.host_.loadSettings(&loaded, &font);
    const SlideShowSettings before = loaded;
    const SlideShowFontSetting fontBefore = font;
    if (loaded.slideSeconds > 60) loaded.slideSeconds = 4;
    if (loaded.volume > 7) loaded.volume = 7;
    if (font.size < 10 || font.size > 100) font.size = 10;
    font.face[sizeof font.face - 1] = 0;
    if (!SlideGridNamesLayout(s.grids_, loaded.gridLayout)) loaded.gridLayout = 1;
    if (!s.extended_) {
        loaded.optionsExpanded = 0;
        loaded.gridLayout = 1;
    }
    s.settings_ = loaded;
    s.font_ = font;

    SInt32 chosen;
    if (s.settings_.random) {
        s.current_ = 1;
        chosen = s.DrawShuffled();
    } else {
        chosen = (args.startItem >= 1 && args.startItem <= s.count_) ? args.startItem : 1;
    }
    SInt32 first = 0;
    for (SInt32 n = chosen; n <= s.count_ && !first; ++n)
        if (!s.IsSound(n)) first = n;
    for (SInt32 n = 1; n < chosen && !first; ++n)
        if (!s.IsSound(n)) first = n;
    if (!first) {
        // The host made room for the show when it handed the settings out; give them back
        // untouched so it puts its window and keys back.
        if (s.host_.saveSettings) s.host_.saveSettings(before, fontBefore, nullptr);
        return nullptr;
    }
    s.firstItem_ = first;
    s.current_ = first;
    module.settings = s.settings_;
    module.font = s.font_;
    module.running = true;
    return show;
}

SlideShowMachine::~SlideShowMachine() {
    if (!ended_ && media_) {
        for (int slot = 0; slot < kSlideSlots; ++slot) media_->Close(slot);
        TheModule().running = false;
    }
}

// ---- order -----------------------------------------------------------------------------

void SlideShowMachine::Shuffle() {
    order_.resize(std::size_t(count_));
    for (SInt32 i = 0; i < count_; ++i) order_[std::size_t(i)] = i + 1;
    std::shuffle(order_.begin(), order_.end(), random_);
    left_ = count_;
}

SInt32 SlideShowMachine::DrawShuffled() {
    if (left_ == 0) {
        if (!settings_.continuous) return current_;
        Shuffle();
    }
    --left_;
    return order_[std::size_t(left_)];
}

SInt32 SlideShowMachine::Following(SInt32 from, bool wrap) const {
    if (from < count_) return from + 1;
    return wrap ? 1 : count_;
}

SInt32 SlideShowMachine::Preceding(SInt32 from, bool wrap) const {
    if (from > 1) return from - 1;
    return wrap ? count_ : 1;
}

SInt32 SlideShowMachine::NextByRule(bool wrap) {
    if (settings_.random) return DrawShuffled();
    return Following(current_, wrap);
}

// ---- items -----------------------------------------------------------------------------

SlideItemOverrides SlideShowMachine::Overrides(SInt32 item) {
    SlideItemOverrides o;
    std::memset(&o, 0, sizeof o);
    if (host_.getItemInfo && host_.getItemInfo(item, &o, nullptr, nullptr) != noErr) std::memset(&o, 0, sizeof o);
    return o;
}

OSType SlideShowMachine::TypeOf(SInt32 item, FSSpec* file) {
    UInt16 orientation = 0;
    if (host_.getItemPath(item, file, &orientation) != noErr) return 0;
    return KindTypeFromExtension(file, nullptr);
}

bool SlideShowMachine::IsSound(SInt32 item) {
    FSSpec file;
    const OSType type = TypeOf(item, &file);
    return type != 0 && KindGetCategory(type) == kKindCategoryAudio;
}

int SlideShowMachine::TextHeight() {
    if (!(settings_.textItems & kSlideTextTitle)) return 0;
    return 8 + media_->TextLineHeight(font_) + 2 + 8;
}

SlideCellText SlideShowMachine::TextOf(int cell) {
    SlideCellText t;
    const Cell& c = cells_[cell];
    if (!(settings_.textItems & kSlideTextTitle) || c.item == 0) return t;
    if (host_.getItemText) host_.getItemText(c.item, 0, &t.text);
    const int inset = settings_.margin ? 0 : 8;
    t.area.top = SInt16(c.rect.bottom + 8);
    t.area.bottom = SInt16(t.area.top + media_->TextLineHeight(font_) + 2);
    t.area.left = SInt16(c.rect.left + inset);
    t.area.right = SInt16(c.rect.right - inset);
    t.alignment = settings_.textAlignment <= 2 ? settings_.textAlignment : 0;
    UInt8 bg[3], fg[3];
    std::memcpy(bg, settings_.background, 3);
    std::memcpy(fg, settings_.textColor, 3);
    if (std::memcmp(bg, fg, 3) == 0)
        for (int i = 0; i < 3; ++i) fg[i] = bg[i] == 0 ? 255 : 0;
    t.color = {UInt16(fg[0] << 8), UInt16(fg[1] << 8), UInt16(fg[2] << 8)};
    UInt8 label = 0;
    RGBColor labelColor{};
    if (host_.getItemInfo && host_.getItemInfo(c.item, nullptr, &label, &labelColor) == noErr && label > 0)
        t.color = labelColor;
    return t;
}

int SlideShowMachine::RandomEffect() { return std::uniform_int_distribution<int>(1, 10)(random_); }

// ---- the stage -------------------------------------------------------------------------

void SlideShowMachine::Begin(const Rect& stage) {
    stage_ = stage;
    for (int slot = 0; slot < kSlideSlots; ++slot) cells_[slot] = Cell{};
    voiceQueue_.clear();
    media_->SetBackground({UInt16(settings_.background[0] << 8), UInt16(settings_.background[1] << 8),
                           UInt16(settings_.background[2] << 8)});
    const SlideItemOverrides o = Overrides(firstItem_);
    if (SlideGridNamesLayout(grids_, o.gridLayout)) settings_.gridLayout = o.gridLayout;
    Layout();
    Fill(firstItem_, !noFirstTransition_);
    if (hooks_.optionsVisibility) hooks_.optionsVisibility(settings_.optionsVisible != 0);
}

void SlideShowMachine::Layout() {
    const std::vector<Rect> rects = SlideLayoutCells(stage_, grids_[settings_.gridLayout], settings_.margin != 0,
                                                     grids_[settings_.gridLayout].textRoom ? TextHeight() : 0);
    cellCount_ = int(std::min<std::size_t>(rects.size(), 16));
    for (int i = 0; i < cellCount_; ++i) {
        cells_[i + 1].rect = rects[std::size_t(i)];
        media_->SetRect(i + 1, rects[std::size_t(i)]);
    }
}

void SlideShowMachine::Fill(SInt32 fromItem, bool withTransition) {
    drawingBusy_ = true;
    const bool effectWanted = withTransition && settings_.playState == kSlideRunning && fromItem != 0;
    if (effectWanted) media_->KeepOldPicture();
    media_->Erase();
    SInt32 item = fromItem;
    for (int cell = 1; cell <= 16; ++cell) {
        if (cell > cellCount_) {
            media_->Close(cell);
            cells_[cell].item = 0;
            continue;
        }
        if (!fromItem) continue;
        if (cell > 1) {
            current_ = item;
            item = NextByRule(true);
        }
        GoTo(item, cell, true);
        for (SInt32 tries = 1; tries < count_ && !media_->ShowsSomething(cell); ++tries) {
            current_ = item;
            item = NextByRule(true);
            GoTo(item, cell, true);
        }
    }
    for (int cell = 1; cell <= cellCount_; ++cell) media_->DrawCell(cell, TextOf(cell));
    int effect = 0;
    if (effectWanted) {
        const SlideItemOverrides o = Overrides(fromItem);
        effect = SlideTransitionEffect(o.transition ? o.transition : settings_.transition, RandomEffect());
    }
    const UInt32 now = clock_();
    if (effect) lastChange_ = now - 30 + kTransitionTicks;
    media_->Present(effect, now, kTransitionTicks);
    focused_ = cellCount_;
    ++redraws_;
    drawingBusy_ = false;
    Changed();
}

void SlideShowMachine::GoTo(SInt32 item, int cell, bool inFill) {
    FSSpec file;
    const OSType type = TypeOf(item, &file);
    if (type != 0 && KindGetCategory(type) == kKindCategoryAudio) {
        // A sound plays behind the pictures, which stay; the show moves on from it.
        current_ = item;
        if (media_->HoldsFile(0, file)) return;
        media_->Close(0);
        if (media_->Open(0, file, type, nullptr)) {
            media_->SetVolume(0, settings_.volume);
            media_->Start(0);
        }
        cells_[0].item = item;
        Changed();
        return;
    }
    const SlideItemOverrides o = Overrides(item);
    // A layout of its own re-lays the stage out from this item, but only when it is another
    // layout than the current one, so that the fill coming back here stops.
    if (!inFill && SlideGridNamesLayout(grids_, o.gridLayout) && o.gridLayout != settings_.gridLayout) {
        settings_.gridLayout = o.gridLayout;
        Layout();
        Fill(item, true);
        return;
    }
    media_->Close(cell);
    Handle preview = nullptr;
    bool shows = !file.path.empty() && media_->Open(cell, file, type, nullptr);
    if (!shows && host_.getSlideData && host_.getSlideData(item, nullptr, &preview, nullptr, nullptr) == noErr &&
        preview) {
        shows = media_->Open(cell, file, type, preview);
    }
    if (preview) DisposeHandle(preview);
    const SlideScale scale = SlideScaleFromChoice(o.scaling ? o.scaling : settings_.scaling);
    media_->SetScale(cell, scale.mode, scale.percent ? scale.percent : 200);
    int effect = 0;
    if (!inFill) effect = SlideTransitionEffect(o.transition ? o.transition : settings_.transition, RandomEffect());
    const UInt32 now = clock_();
    Cell& c = cells_[cell];
    c.item = item;
    c.shown = now - 30 + (effect ? kTransitionTicks : 0);
    c.durationMode = o.durationMode;
    c.seconds = o.seconds;
    c.movie = shows && media_->IsMovie(cell);
    lastChange_ = c.shown;
    current_ = item;
    if (!inFill) {
        drawingBusy_ = true;
        media_->KeepOldPicture();
        media_->DrawCell(cell, TextOf(cell));
        media_->Present(effect, now, kTransitionTicks);
        ++redraws_;
        drawingBusy_ = false;
    }
    if (shows) {
        media_->SetVolume(cell, VolumeFor(cell));
        if (settings_.playState & kSlideRunning) media_->Start(cell);
    }
    if (settings_.voiceAnnotations && int(voiceQueue_.size()) < kVoiceQueueSize) voiceQueue_.push_back(item);
    Changed();
}

// ---- time ------------------------------------------------------------------------------

namespace {

// Ticks from `since` to `now`; a slide brought in with an effect is stamped after its effect
// ends, so `since` may still lie ahead: no time has passed then (unsigned ticks would wrap).
SInt64 TicksSince(UInt32 since, UInt32 now) { return SInt64(SInt32(now - since)); }

}  // namespace

bool SlideShowMachine::CellDue(int cell, UInt32 now, bool soundPlays) {
    const Cell& c = cells_[cell];
    if (!media_->ShowsSomething(cell)) return true;
    switch (c.durationMode) {
    case kSlideDurationSeconds: return TicksSince(c.shown, now) >= SInt64(c.seconds) * 60;
    case kSlideDurationHoldForSound: return !soundPlays;
    default:
        if (c.movie) return media_->HasEnded(cell);
        return TicksSince(lastChange_, now) >= SInt64(settings_.slideSeconds) * 60;
    }
}

bool SlideShowMachine::AnyDue(UInt32 now) {
    const bool soundPlays = media_->ShowsSomething(0) && !media_->HasEnded(0);
    bool due = false;
    for (int cell = 1; cell <= cellCount_; ++cell) {
        if (cells_[cell].durationMode == kSlideDurationHoldForSound && soundPlays) return false;
        due = due || CellDue(cell, now, soundPlays);
    }
    return due;
}

void SlideShowMachine::Tick() {
    if (ended_ || menuOpen_ || drawingBusy_ || (mouseHeld_ && mouseHeld_())) return;
    if (endRequested_) {
        End();
        return;
    }
    if (!voiceQueue_.empty()) {
        const SInt32 item = voiceQueue_.front();
        voiceQueue_.pop_front();
        Handle voice = nullptr;
        if (host_.getSlideData && host_.getSlideData(item, nullptr, nullptr, nullptr, &voice) == noErr && voice) {
            drawingBusy_ = true;
            media_->PlayVoice(voice);
            drawingBusy_ = false;
            DisposeHandle(voice);
            return;
        }
        if (voice) DisposeHandle(voice);
    }
    if (current_ == count_ && !settings_.continuous && !settings_.random) return;
    if (settings_.playState != kSlideRunning || !AnyDue(clock_())) return;
    const SInt32 next = NextByRule(settings_.continuous != 0);
    if (next == current_ && !settings_.continuous) return;
    GoTo(next, focused_, false);
}

void SlideShowMachine::MediaEvent(int slot) {
    if (slot >= 0 && slot < kSlideSlots) media_->ProcessEvents(slot);
}

// ---- play state and media --------------------------------------------------------------

UInt16 SlideShowMachine::VolumeFor(int cell) const {
    if (cells_[cell].movie && cell != focused_ && !settings_.soundFromAllMovies) return 0;
    return settings_.volume;
}

void SlideShowMachine::ApplyVolumes() {
    for (int cell = 1; cell <= cellCount_; ++cell) media_->SetVolume(cell, VolumeFor(cell));
    media_->SetVolume(0, settings_.volume);
}

void SlideShowMachine::StartOrStopAll() {
    for (int slot = 0; slot <= cellCount_; ++slot) {
        if (!media_->ShowsSomething(slot)) continue;
        if (settings_.playState & kSlideRunning)
            media_->Start(slot);
        else
            media_->Stop(slot);
    }
}

void SlideShowMachine::SetPlayState(UInt8 state) {
    const bool wasRunning = settings_.playState & kSlideRunning;
    settings_.playState = state;
    if (bool(state & kSlideRunning) != wasRunning) StartOrStopAll();
    Changed();
}

void SlideShowMachine::RunOrPause() { SetPlayState(UInt8(settings_.playState ^ kSlideRunning)); }
void SlideShowMachine::ToggleInteractive() { SetPlayState(UInt8(settings_.playState ^ 2)); }

void SlideShowMachine::NextItem() { GoTo(Following(current_, true), focused_, false); }
void SlideShowMachine::PreviousItem() { GoTo(Preceding(current_, true), focused_, false); }

bool SlideShowMachine::SetVolume(int level) {
    if (level < 0 || level > 7) return false;
    settings_.volume = UInt8(level);
    ApplyVolumes();
    Changed();
    return true;
}

bool SlideShowMachine::SetSeconds(int seconds) {
    if (seconds < 0 || seconds > 60) return false;
    settings_.slideSeconds = UInt8(seconds);
    Changed();
    return true;
}

void SlideShowMachine::ToggleSoundFromAllMovies() {
    settings_.soundFromAllMovies = !settings_.soundFromAllMovies;
    ApplyVolumes();
}

void SlideShowMachine::SetBackground(UInt8 red, UInt8 green, UInt8 blue) {
    settings_.background[0] = red;
    settings_.background[1] = green;
    settings_.background[2] = blue;
    media_->SetBackground({UInt16(red * 257), UInt16(green * 257), UInt16(blue * 257)});
    Redraw();
}

void SlideShowMachine::ToggleMargin() {
    settings_.margin = !settings_.margin;
    Layout();
    Redraw();
}

void SlideShowMachine::ToggleTitle() {
    settings_.textItems ^= kSlideTextTitle;
    Layout();
    Redraw();
}

void SlideShowMachine::SetTransition(UInt8 choice) {
    if (choice >= 1 && choice <= 13) settings_.transition = choice;
}

bool SlideShowMachine::SetScaling(UInt8 choice) {
    if (choice < 1 || choice > 16 || choice == 3 || choice == 9 || choice == settings_.scaling) return false;
    settings_.scaling = choice;
    const SlideScale s = SlideScaleFromChoice(choice);
    ApplyScale(s.mode, s.percent ? s.percent : 200);
    return true;
}

void SlideShowMachine::ApplyScale(UInt8 mode, UInt16 percent) {
    for (int cell = 1; cell <= 16; ++cell) media_->SetScale(cell, mode, percent);
    Redraw();
}

void SlideShowMachine::Zoom(bool in) {
    const UInt16 percent = media_->Percent(focused_);
    int step = -1;
    if (in) {
        for (int i = 0; i < 7 && step < 0; ++i)
            if (kSlideZoomSteps[i] > percent) step = i;
    } else {
        for (int i = 6; i >= 0 && step < 0; --i)
            if (kSlideZoomSteps[i] < percent) step = i;
    }
    if (step < 0) {
        media_->Beep();
        return;
    }
    settings_.scaling = UInt8(10 + step);
    ApplyScale(10, kSlideZoomSteps[step]);
}

void SlideShowMachine::Redraw() {
    drawingBusy_ = true;
    media_->Erase();
    for (int cell = 1; cell <= cellCount_; ++cell) media_->DrawCell(cell, TextOf(cell));
    media_->Present(0, clock_(), 0);
    ++redraws_;
    drawingBusy_ = false;
}

void SlideShowMachine::SetOptionsVisible(bool visible) {
    settings_.optionsVisible = visible ? 1 : 0;
    if (hooks_.optionsVisibility) hooks_.optionsVisibility(visible);
}

void SlideShowMachine::Changed() {
    if (hooks_.stateChanged) hooks_.stateChanged();
}

// ---- keys and the mouse ----------------------------------------------------------------

void SlideShowMachine::Key(SlideKey key, int digit) {
    if (ended_) return;
    switch (key) {
    case SlideKey::Enter: SetOptionsVisible(!settings_.optionsVisible); break;
    case SlideKey::Escape: RequestEnd(); break;
    case SlideKey::Space: RunOrPause(); break;
    case SlideKey::Previous: PreviousItem(); break;
    case SlideKey::Next: NextItem(); break;
    case SlideKey::ZoomIn: Zoom(true); break;
    case SlideKey::ZoomOut: Zoom(false); break;
    case SlideKey::ToggleActualSize: {
        settings_.scaling = settings_.scaling == kSlideScaleToFit ? kSlideScaleActualSize : kSlideScaleToFit;
        const SlideScale s = SlideScaleFromChoice(settings_.scaling);
        ApplyScale(s.mode, 200);
        break;
    }
    case SlideKey::Label: {
        const UInt8 label = UInt8(digit);
        if (digit < 0 || digit > 9 || !host_.setItemInfo || host_.setItemInfo(current_, nullptr, &label) != noErr) {
            media_->Beep();
            break;
        }
        Redraw();
        break;
    }
    case SlideKey::Go:
        if (!(settings_.playState & kSlideRunning)) SetPlayState(UInt8(settings_.playState | kSlideRunning));
        break;
    case SlideKey::Pause:
        if (settings_.playState & kSlideRunning) SetPlayState(UInt8(settings_.playState & ~kSlideRunning));
        break;
    case SlideKey::Interactive: ToggleInteractive(); break;
    case SlideKey::Continuous: ToggleContinuous(); break;
    case SlideKey::Random: ToggleRandom(); break;
    case SlideKey::ControllerMode: break;   // our presenters draw one controller form only
    }
}

void SlideShowMachine::Click(Point where, bool alt, bool shift) {
    if (ended_) return;
    if (alt) {
        for (int cell = 1; cell <= cellCount_; ++cell) {
            const Rect& r = cells_[cell].rect;
            if (where.h >= r.left && where.h < r.right && where.v >= r.top && where.v < r.bottom) {
                media_->Click(cell, where, shift);
                return;
            }
        }
        return;
    }
    if (settings_.playState <= kSlideRunning) {
        RunOrPause();
        return;
    }
    settings_.playState = kSlideRunningInteractive;
    const SInt32 item = shift ? Preceding(current_, true) : NextByRule(true);
    GoTo(item, focused_, false);
}

// ---- the end ---------------------------------------------------------------------------

void SlideShowMachine::End() {
    ended_ = true;
    TheModule().running = false;
    for (int slot = 0; slot < kSlideSlots; ++slot) media_->Close(slot);
    order_.clear();
    if (hooks_.beforeSave) hooks_.beforeSave(&settings_);
    TheModule().settings = settings_;
    TheModule().font = font_;
    SInt32 current = current_;
    if (host_.saveSettings) host_.saveSettings(settings_, font_, &current);
    if (hooks_.ended) hooks_.ended();
}
