// Engine-wide state of the catalog engine: the edition code and format level handed in at
// start-up, the capacity they select, the reserve block, the default import settings and the
// date display options. Set once at start-up and read by every open catalog.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "platform/MacTypes.h"

inline constexpr SInt32 kEditionCodeStandard = 400;
inline constexpr SInt32 kFormatLevelStandard = 200;
inline constexpr SInt32 kCapacitySmall = 8000;
inline constexpr SInt32 kCapacityLarge = 128000;
inline constexpr Size kReserveBlockSize = 10240;
// savedEdition of a file that carries no 'SVar' chunk.
inline constexpr UInt32 kSavedEditionUnknown = 150;

// Stores both codes, sets the capacity and makes the zeroed reserve block. Answers 0.
OSErr CatalogEngineInit(SInt32 editionCode, SInt32 formatLevel);
// Disposes of the reserve block.
void CatalogEngineShutdown();

SInt32 CatalogGetCapacity();
SInt32 CatalogGetEditionCode();
SInt32 CatalogGetFormatLevel();
// The capacity an edition code selects: 128,000 for 200 and for 500 and above, else 8,000.
SInt32 CatalogCapacityForEdition(SInt32 editionCode);

// The zeroed block written after every record appended to a work file (null before init).
Handle CatalogGetReserveBlock();

void CatalogSetDefaultImportSettings(const ImportSettingsRec* settings);
void CatalogGetDefaultImportSettings(ImportSettingsRec* settings);

void CatalogSetDateOptions(UInt8 a, UInt8 b, UInt8 c);
// The three options and the zero byte after them.
void CatalogGetDateOptions(UInt8 options[4]);

// The running number of the next untitled catalog ("Catalog1", "Catalog2", ...); taking it
// moves the counter on.
SInt32 CatalogTakeNewCatalogNumber();
