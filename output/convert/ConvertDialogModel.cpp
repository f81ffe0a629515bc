#include "output/convert/ConvertDialogModel.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/TypedSettings.h"
#include "output/convert/ExporterLists.h"
#include "output/optionsets/OptionSets.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

// The conversion dialogs' two bytes of the preferences record.
constexpr std::size_t kSelectedOnlyOffset = 0xB0;
constexpr std::size_t kReplaceOriginalsOffset = 0xB1;

unsigned char* PreferenceBytes() { return reinterpret_cast<unsigned char*>(GetPreferences()); }

CExporterList* ListOf(ConvertMediaKind kind) {
    return kind == ConvertMediaKind::Image ? GetImageExporters()
           : kind == ConvertMediaKind::Sound ? GetSoundExporters() : GetMovieExporters();
}

std::string String(UInt16 id) {
    std::string s;
    LoadResourceStringUtf8(id, &s);
    return s;
}

}  // namespace

ConvertDialogState LoadConvertDialogState(ConvertMediaKind kind, bool hasCurrentItem) {
    ConvertDialogState state;
    state.kind = kind;
    const ConvertEntryIds ids = ConvertEntries(kind);
    Handle options = nullptr, settings = nullptr;
    LoadExportSettings(nullptr, &options, ids.options, nullptr, 0, &settings, ids.settings, nullptr, 0);
    state.options = ConvertOptionsFromHandle(options, kind);
    state.options.loaded = 1;
    state.position = FindStoredExporter(ListOf(kind), state.options.subType, state.options.position);
    if (state.position > 0) state.options.subType = ListOf(kind)->At(state.position).subType;
    state.settings = ExporterSettingsFromHandle(settings, state.options.subType);
    if (options) DisposeHandle(options);
    if (settings) DisposeHandle(settings);
    state.selectedOnly = hasCurrentItem && PreferenceBytes()[kSelectedOnlyOffset] != 0;
    state.replaceOriginals = PreferenceBytes()[kReplaceOriginalsOffset] != 0;
    return state;
}

void ChooseConvertFormat(ConvertDialogState* state, SInt32 position) {
    CExporterList* list = ListOf(state->kind);
    if (!list || position < 1 || position > list->Count()) return;
    state->position = position;
    state->options.subType = list->At(position).subType;
    Handle stored = LoadTypedSetting('EXPO', ConvertEntries(state->kind).settings, nullptr, 0);
    state->settings = ExporterSettingsFromHandle(stored, state->options.subType);
    if (stored) DisposeHandle(stored);
}

void SaveConvertDialogState(const ConvertDialogState& state) {
    ConvertOptionsRec options = state.options;
    if (state.position > 0) {
        options.position = UInt32(state.position);
        options.subType = ListOf(state.kind)->At(state.position).subType;
    }
    Handle o = ConvertOptionsToHandle(options);
    Handle s = ExporterSettingsToHandle(state.settings);
    const ConvertEntryIds ids = ConvertEntries(state.kind);
    SaveExportSettings(nullptr, o, ids.options, s, ids.settings, nullptr, 0);
    if (o) DisposeHandle(o);
    if (s) DisposeHandle(s);
    PreferenceBytes()[kSelectedOnlyOffset] = state.selectedOnly ? 0xFF : 0;
    PreferenceBytes()[kReplaceOriginalsOffset] = state.replaceOriginals ? 0xFF : 0;
}

void ConvertStateGetSettings(const ConvertDialogState& state, Handle* options, Handle* settings) {
    ConvertOptionsRec o = state.options;
    if (state.position > 0) o.position = UInt32(state.position);
    if (options) *options = ConvertOptionsToHandle(o);
    if (settings) *settings = ExporterSettingsToHandle(state.settings);
}

void ConvertStateSetSettings(ConvertDialogState* state, Handle options, Handle settings) {
    if (options) {
        state->options = ConvertOptionsFromHandle(options, state->kind);
        const SInt32 p = FindStoredExporter(ListOf(state->kind), state->options.subType, state->options.position);
        state->position = p;
        if (p > 0) state->options.subType = ListOf(state->kind)->At(p).subType;
    }
    if (settings || options) {
        const ExporterSettings fromSet = ExporterSettingsFromHandle(settings, state->options.subType);
        if (settings || state->settings.subType != state->options.subType) state->settings = fromSet;
    }
}

bool ConvertStateDiffers(const ConvertDialogState& state, Handle options, Handle settings) {
    const ConvertOptionsRec a = state.options;
    const ConvertOptionsRec b = ConvertOptionsFromHandle(options, state.kind);
    if (UInt32(state.position) != b.position || a.subType != b.subType || a.loaded != b.loaded ||
        a.keepMetadata != b.keepMetadata || a.keepProfile != b.keepProfile)
        return true;
    if (a.sizeMode != b.sizeMode || (a.sizeMode == 1 && (a.width != b.width || a.height != b.height))) return true;
    if (a.resolutionMode != b.resolutionMode || (a.resolutionMode == 1 && a.dpi != b.dpi)) return true;
    Handle mine = ExporterSettingsToHandle(state.settings);
    const bool differ = !settings || !mine || GetHandleSize(mine) != GetHandleSize(settings) ||
                        std::memcmp(*mine, *settings, std::size_t(GetHandleSize(mine))) != 0;
    if (mine) DisposeHandle(mine);
    return differ;
}

std::string ImageSizeSummary(const ConvertOptionsRec& options) {
    std::string text;
    if (options.sizeMode == 1)
        text = String(14901) + std::to_string(options.width) + "x" + std::to_string(options.height) + "\n";
    else
        text = String(14902);
    if (options.resolutionMode == 1)
        text += String(14903) + std::to_string(options.dpi) + String(14904);
    else
        text += String(14905);
    return text;
}
