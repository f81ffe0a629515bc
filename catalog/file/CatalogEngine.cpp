#include "catalog/file/CatalogEngine.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldEngine.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/tables/Labels.h"
#include "catalog/file/CatalogHooks.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

struct CatalogEngineState {
    SInt32 editionCode = kEditionCodeStandard;
    SInt32 formatLevel = kFormatLevelStandard;
    SInt32 capacity = kCapacitySmall;
    Handle reserveBlock = nullptr;
    ImportSettingsRec defaultImportSettings{};
    bool haveDefaultImportSettings = false;
    UInt8 dateOptions[4] = {};
    SInt32 newCatalogCounter = 1;
};

CatalogEngineState& Engine() {
    static CatalogEngineState state;
    return state;
}

}  // namespace

SInt32 CatalogCapacityForEdition(SInt32 editionCode) {
    return (editionCode == 200 || editionCode >= 500) ? kCapacityLarge : kCapacitySmall;
}

OSErr CatalogEngineInit(SInt32 editionCode, SInt32 formatLevel) {
    CatalogEngineState& e = Engine();
    e.editionCode = editionCode;
    e.formatLevel = formatLevel;
    e.capacity = CatalogCapacityForEdition(editionCode);
    e.newCatalogCounter = 1;
    FieldEngineSetCodes(editionCode, formatLevel);
    FieldTableInit();
    // Nothing of an earlier run of the engine survives: no job of the libraries that work on
    // catalogs (the registered hooks), no renamed label.
    CatalogRunEngineStartHooks();
    LabelTableInit();
    if (e.reserveBlock) DisposeHandle(e.reserveBlock);
    e.reserveBlock = NewHandleClear(kReserveBlockSize);
    if (!e.reserveBlock) return memFullErr;
    return noErr;
}

void CatalogEngineShutdown() {
    CatalogEngineState& e = Engine();
    if (e.reserveBlock) DisposeHandle(e.reserveBlock);
    e.reserveBlock = nullptr;
    // Work still running on catalogs (a refresh job) would tick over catalogs the program is
    // about to free.
    CatalogRunEngineStopHooks();
    FieldEngineReset();
    CatalogNotificationsReset();
}

SInt32 CatalogGetCapacity() { return Engine().capacity; }
SInt32 CatalogGetEditionCode() { return Engine().editionCode; }
SInt32 CatalogGetFormatLevel() { return Engine().formatLevel; }
Handle CatalogGetReserveBlock() { return Engine().reserveBlock; }

void CatalogSetDefaultImportSettings(const ImportSettingsRec* settings) {
    if (!settings) return;
    Engine().defaultImportSettings = *settings;
    Engine().haveDefaultImportSettings = true;
}

void CatalogGetDefaultImportSettings(ImportSettingsRec* settings) {
    if (!settings) return;
    if (Engine().haveDefaultImportSettings)
        *settings = Engine().defaultImportSettings;
    else
        ImportSettingsSetDefault(settings);
}

void CatalogSetDateOptions(UInt8 a, UInt8 b, UInt8 c) {
    UInt8* o = Engine().dateOptions;
    o[0] = a;
    o[1] = b;
    o[2] = c;
    o[3] = 0;
    FieldEngineSetDisplayOptions(a, b, c);
}

void CatalogGetDateOptions(UInt8 options[4]) { std::memcpy(options, Engine().dateOptions, 4); }

SInt32 CatalogTakeNewCatalogNumber() { return Engine().newCatalogCounter++; }
