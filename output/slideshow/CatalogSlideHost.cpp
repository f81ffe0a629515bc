#include "output/slideshow/CatalogSlideHost.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/fields/FieldValue.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/file/CatalogRecords.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/tables/Labels.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/text/Unicode.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewRec.h"
#include "window/view/ViewSelection.h"

#include <cstring>
#include <memory>
#include <vector>

static_assert(sizeof(CatalogViewPrefs::bytes44) == sizeof(SlideShowSettings));
static_assert(sizeof(CatalogFontEntry) == sizeof(SlideShowFontSetting));

namespace {

constexpr int kSlideFontSlot = 3;

// One field of the item as display text (UTF-8); every value of a list field, joined.
std::string ItemFieldText(CatalogRec* catalog, SInt32 item, FieldId id) {
    auto value = std::make_unique<FieldValue>();
    FieldValueClear(value.get());
    const UInt8 type = ItemGetFieldVisible(catalog, item, 0, id, value.get());
    if (type == 0) return {};
    if (type == 5) {
        const std::string bytes(value->text.bytes, std::size_t(std::max<int>(0, value->text.length)));
        return value->text.encoding == kFieldTextUtf8 ? bytes : AnsiToUtf8(bytes);
    }
    Str255 shown = {0};
    FieldValueToText(value.get(), type, id, shown, true);
    return AnsiToUtf8(std::string(reinterpret_cast<const char*>(shown + 1), shown[0]));
}

std::string Join(const std::vector<std::string>& pieces, const char* separator) {
    std::string out;
    for (const std::string& p : pieces) {
        if (p.empty()) continue;
        if (!out.empty()) out += separator;
        out += p;
    }
    return out;
}

bool ReadOverrides(CatalogRec* catalog, SInt32 item, SlideItemOverrides* o) {
    ItemRec record;
    if (ItemReadRecord(catalog, item, &record) != noErr) return false;
    std::memcpy(o, &record.viewSettings0, sizeof *o);
    // Values outside their ranges read as "the show's own setting".
    if (o->durationMode > 2) o->durationMode = 0;
    if (o->seconds > 60) o->seconds = 0;
    if (o->gridLayout > 9) o->gridLayout = 0;
    if (o->scaling > 16) o->scaling = 0;
    if (o->transition > 13) o->transition = 0;
    return true;
}

}  // namespace

SlideShowSettings* CatalogSlideSettings(CatalogRec* catalog) {
    return reinterpret_cast<SlideShowSettings*>(catalog->viewPrefs.bytes44);
}
SlideShowSettings* AppSlideSettings() { return reinterpret_cast<SlideShowSettings*>(GetPreferences()->slideShowOptions); }
SlideShowFontSetting* CatalogSlideFont(CatalogRec* catalog) {
    return reinterpret_cast<SlideShowFontSetting*>(CatalogGetFontRec(catalog, kSlideFontSlot));
}
SlideShowFontSetting* AppSlideFont() {
    return reinterpret_cast<SlideShowFontSetting*>(GetPreferences()->viewBlock2064 + kSlideFontSlot * 516);
}

OSErr CatalogSlideItemText(CatalogRec* catalog, SInt32 item, SInt16 infoType, std::string* text) {
    text->clear();
    if (!CatalogGetItemEntry(catalog, item)) return paramErr;
    switch (infoType) {
    case 0:
        *text = ItemFieldText(catalog, item, kFieldTitle);
        if (text->empty()) *text = ItemFieldText(catalog, item, kFieldFileName);
        break;
    case 1:
        *text = Join({ItemFieldText(catalog, item, kFieldFileKindName), ItemFieldText(catalog, item, kFieldDimensions),
                      ItemFieldText(catalog, item, kFieldDuration)},
                     " | ");
        break;
    case 2: {
        *text = Join({ItemFieldText(catalog, item, kFieldImportDevice), ItemFieldText(catalog, item, kFieldAperture),
                      ItemFieldText(catalog, item, kFieldShutterSpeed), ItemFieldText(catalog, item, kFieldExposureBias)},
                     " | ");
        const std::string iso = ItemFieldText(catalog, item, kFieldIsoSpeed);
        if (!iso.empty()) *text = text->empty() ? iso : *text + " | ISO " + iso;
        break;
    }
    case 3:
        *text = Join({ItemFieldText(catalog, item, kFieldLatitude), ItemFieldText(catalog, item, kFieldLongitude),
                      ItemFieldText(catalog, item, kFieldAltitude)},
                     ", ");
        break;
    case 4:
        *text = Join({ItemFieldText(catalog, item, kFieldLocation), ItemFieldText(catalog, item, kFieldCity),
                      ItemFieldText(catalog, item, kFieldState), ItemFieldText(catalog, item, kFieldCountry)},
                     ", ");
        break;
    case 5: *text = ItemFieldText(catalog, item, kFieldPeople); break;
    case 6:
        *text = Join({ItemFieldText(catalog, item, kFieldAuthor), ItemFieldText(catalog, item, kFieldCredit),
                      ItemFieldText(catalog, item, kFieldSource), ItemFieldText(catalog, item, kFieldCopyright)},
                     ", ");
        break;
    case 7: *text = ItemFieldText(catalog, item, kFieldCaption); break;
    default: return kSlideNoTextErr;
    }
    return text->empty() ? OSErr(kSlideNoTextErr) : OSErr(noErr);
}

SlideHost MakeCatalogSlideHost(CatalogRec* catalog, ViewRec* view, SlideHostShell shell) {
    SlideHost h;
    h.getItemPath = [catalog](SInt32 item, FSSpec* file, UInt16* orientation) -> OSErr {
        if (orientation) {
            *orientation = 0;
            ItemRec record;
            if (ItemReadRecord(catalog, item, &record) == noErr) *orientation = record.orientation;
        }
        return CatalogFindItemPath(catalog, item, file);
    };
    h.getSlideData = [catalog](SInt32 item, Handle* info, Handle* preview, Handle* caption, Handle* voice) -> OSErr {
        if (!CatalogGetItemEntry(catalog, item)) return paramErr;
        return ItemGetSlideData(catalog, UInt32(item), info, preview, caption, voice);
    };
    h.getItemText = [catalog](SInt32 item, SInt16 type, std::string* text) -> OSErr {
        return CatalogSlideItemText(catalog, item, type, text);
    };
    h.loadSettings = [catalog, shell](SlideShowSettings* settings, SlideShowFontSetting* font) -> OSErr {
        SlideShowPickSettings(CatalogSlideSettings(catalog), AppSlideSettings());
        if (settings) *settings = *CatalogSlideSettings(catalog);
        if (font) *font = *CatalogSlideFont(catalog);
        if (shell.enterShow) shell.enterShow();
        return noErr;
    };
    h.saveSettings = [catalog, view, shell](const SlideShowSettings& settings, const SlideShowFontSetting& font,
                                            const SInt32* current) -> OSErr {
        bool changed = false;
        if (std::memcmp(CatalogSlideSettings(catalog), &settings, sizeof settings) != 0) {
            *CatalogSlideSettings(catalog) = settings;
            changed = true;
        }
        *AppSlideSettings() = settings;
        if (std::memcmp(CatalogSlideFont(catalog), &font, sizeof font) != 0) {
            *CatalogSlideFont(catalog) = font;
            changed = true;
        }
        *AppSlideFont() = font;
        if (changed) CatalogSetModified(catalog);
        if (view && current && *current >= 1 && *current != ViewGetCurrentItem(view))
            ViewSelectItem(view, *current, kSelectAlone, true);
        if (shell.leaveShow) shell.leaveShow();
        return noErr;
    };
    h.getItemInfo = [catalog](SInt32 item, SlideItemOverrides* overrides, UInt8* label, RGBColor* color) -> OSErr {
        if (!CatalogGetItemEntry(catalog, item)) return paramErr;
        if (overrides) {
            std::memset(overrides, 0, sizeof *overrides);
            ReadOverrides(catalog, item, overrides);
        }
        const UInt8 l = ItemGetLabel(catalog, item);
        if (label) *label = l;
        if (color) {
            *color = RGBColor{0, 0, 0};
            if (l >= 1 && l <= 9) LabelGetInfo(l, nullptr, color);
        }
        return noErr;
    };
    h.setItemInfo = [catalog](SInt32 item, const SlideItemOverrides* overrides, const UInt8* label) -> OSErr {
        ItemEntry* entry = CatalogGetItemEntry(catalog, item);
        if (!entry) return paramErr;
        if (label && *label <= 9) CatalogSetItemLabel(catalog, entry, *label, false);
        if (overrides) {
            ItemRec record;
            OSErr err = ItemReadRecord(catalog, item, &record);
            if (err != noErr) return err;
            std::memcpy(&record.viewSettings0, overrides, sizeof *overrides);
            CatalogSetModified(catalog);
            err = CatalogUpdateVisibleItem(catalog, item, &record, nullptr, nullptr, nullptr, nullptr, nullptr, false);
            if (err != noErr) return err;
        }
        return noErr;
    };
    h.getCounts = [catalog](UInt32* visible, UInt32* hidden) -> OSErr {
        if (visible) *visible = UInt32(CatalogGetItemCount(catalog));
        if (hidden) *hidden = UInt32(catalog->hiddenCount);
        return noErr;
    };
    h.filter = [catalog, view, shell](SInt16 kind, SInt16 value) -> OSErr {
        if (kind == 1) {
            if (catalog->hiddenCount > 0 && view) {
                ViewShowAll(view);
                return noErr;
            }
            if (shell.beep) shell.beep();
            return paramErr;
        }
        if (kind != 2 || !view) return paramErr;
        const UInt8 label = value == 1 ? 0xFF : value == 2 ? 0 : UInt8(value - 4);
        ViewShowLabel(view, label);
        return noErr;
    };
    return h;
}
