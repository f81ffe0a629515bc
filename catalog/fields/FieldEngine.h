// Process-wide state of the field engine, reset together: the selected field table, the
// one-record cache and the variable-block cache (sizes, annotation block, metadata block) with
// the (file, record position) key they belong to, and the engine codes and display options the
// table choice and the formatter depend on.
//
// The caches are keyed by file reference and position. File references are reused as soon as
// a file is closed, and a save moves records, so every open, close and rewrite of a catalog or
// work file must call FieldEngineReset (as must every record write).
#pragma once

#include <thread>

#include "catalog/fields/FieldDef.h"
#include "platform/MacTypes.h"

#include <cstdint>

struct UserDataRecord;

inline constexpr std::int32_t kDefaultEditionCode = 400;
inline constexpr std::int32_t kDefaultFormatLevel = 200;

// Display options read by the formatter.
struct FieldDisplayOptions {
    std::uint8_t dimensionUnit = 1;   // 1 pixels, 2 inches, 3 cm, 4 points, 5 picas
    std::uint8_t resolutionUnit = 1;  // 1 pixels per inch, 2 pixels per cm
    std::uint8_t dateStyle = 1;       // 1 short, 2 long
    std::uint8_t zero = 0;
};

struct FieldEngineState {
    std::int32_t editionCode = kDefaultEditionCode;
    std::int32_t formatLevel = kDefaultFormatLevel;
    FieldDisplayOptions display;

    const FieldDef* table = nullptr;
    int rowCount = 0;

    // One record in native order and its key. Only the thread that set the engine up keeps
    // and uses it; reads on other threads (a search spread over the cores) go to the file.
    std::thread::id recordCacheOwner = std::this_thread::get_id();
    SInt16 recordFile = -1;
    SInt64 recordPosition = -1;
    alignas(4) std::uint8_t record[1024] = {};

    // The variable data of one item: sizes (in record order: recording, metadata, thumbnail,
    // annotations, URL), the annotation block and the metadata, and their key. The annotation
    // block stays in the file's Mac Roman until a caller asks for the whole block (single
    // datasets are converted as they are read). A flattened metadata block is kept as it is
    // stored and read in place; a list is made only of a compact EXIF block, or of a flattened
    // one when a caller asks for the list itself.
    SInt16 blockFile = -1;
    SInt64 blockPosition = -1;
    std::uint32_t blockSizes[5] = {};
    Handle annotationBlock = nullptr;
    bool annotationAnsi = false;    // the block's 8-bit datasets are in Windows-1252 already
    Handle metadataBlock = nullptr;
    UserDataRecord* metadata = nullptr;
    bool metadataTried = false;     // a failed or empty metadata load is not retried
    bool annotationTried = false;
};

FieldEngineState& FieldEngine();
// Frees the cached annotation block and metadata (the keys are left to the caller).
void FieldEngineFreeBlocks(FieldEngineState& state);

// Hands the engine the codes the application starts with (400 and 200 in this build).
void FieldEngineSetCodes(std::int32_t editionCode, std::int32_t formatLevel);
void FieldEngineSetDisplayOptions(std::uint8_t dimensionUnit, std::uint8_t resolutionUnit,
                                  std::uint8_t dateStyle);
// 2 when the edition code is 200 or 500, else 1.
int FieldEditionTier();
