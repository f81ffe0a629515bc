#include "output/fileactions/ConflictTexts.h"

#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"
#include "platform/MacDates.h"

#include <ctime>

namespace {

std::string Text(UInt16 id) {
    std::string text;
    LoadResourceStringUtf8(id, &text);
    return text;
}

}  // namespace

ConflictDialogTexts ConflictTextsForMode(int mode) {
    ConflictDialogTexts t;
    if (mode < 0 || mode > 2) return t;
    // Seven strings a mode from 52000: caption, groups, then the four buttons.
    const UInt16 base = UInt16(52000 + 7 * mode);
    t.caption = Text(base);
    t.sourceGroup = Text(base + 1);
    t.destinationGroup = Text(base + 2);
    t.button1 = Text(base + 3);
    t.button2 = Text(base + 4);
    t.buttonAll = Text(base + 5);
    t.buttonStopAll = Text(base + 6);
    return t;
}

std::string FormatConflictDate(UInt32 macSeconds) {
    const char* invalid = "Invalid DateTime";
    if (macSeconds == 0) return invalid;
    const std::time_t t = LocalMacSecondsToUnix(std::int64_t(macSeconds));
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return invalid;
    char buf[128];
    const std::size_t n = std::strftime(buf, sizeof buf, "%c", &tm);
    if (n == 0) return invalid;
    return std::string(buf, n);
}

std::string FormatTypeCode(OSType type) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((type >> shift) & 0xFF);
        if (!c) break;
        out.push_back(c);
    }
    return AnsiToUtf8(out);
}

ConflictFileRows ConflictRowsOfItem(const FSSpec& file, const ItemRec* record) {
    ConflictFileRows rows;
    rows.name = file.path;
    if (record) {
        rows.type = FormatTypeCode(record->kind);
        rows.created = FormatConflictDate(record->created);
        rows.modified = FormatConflictDate(record->modified);
    } else {
        rows = ConflictRowsOfFile(file);
    }
    return rows;
}

ConflictFileRows ConflictRowsOfFile(const FSSpec& file) {
    ConflictFileRows rows;
    rows.name = file.path;
    CInfoPBRec pb;
    if (FSpGetCatInfo(&file, &pb) == noErr) {
        rows.type = FormatTypeCode(pb.ioFlFndrInfo.fdType);
        rows.created = FormatConflictDate(pb.ioFlCrDat);
        rows.modified = FormatConflictDate(pb.ioFlMdDat);
    } else {
        rows.type = FormatTypeCode(FileTypeFromName(FSSpecName(file)));
        rows.created = rows.modified = FormatConflictDate(0);
    }
    return rows;
}
