#include "output/fileactions/BatchRename.h"

#include "catalog/items/ItemFiles.h"
#include "output/fileactions/FileConflicts.h"
#include "window/view/ViewSelection.h"

#include <glib.h>

#include <string>
#include <vector>

namespace {

// Upper case of UTF-8 text by Unicode rules; bytes that are not UTF-8 stay as they are.
std::string Upper(const std::string& s) {
    if (!g_utf8_validate(s.data(), gssize(s.size()), nullptr)) return s;
    gchar* u = g_utf8_strup(s.data(), gssize(s.size()));
    std::string out(u);
    g_free(u);
    return out;
}
std::string Lower(const std::string& s) {
    if (!g_utf8_validate(s.data(), gssize(s.size()), nullptr)) return s;
    gchar* u = g_utf8_strdown(s.data(), gssize(s.size()));
    std::string out(u);
    g_free(u);
    return out;
}

// The byte offsets where characters start (and the end), so a match never splits a character.
std::vector<std::size_t> CharStarts(const std::string& s) {
    std::vector<std::size_t> at;
    const bool utf8 = g_utf8_validate(s.data(), gssize(s.size()), nullptr);
    for (std::size_t i = 0; i < s.size();) {
        at.push_back(i);
        if (!utf8) {
            ++i;
            continue;
        }
        i = std::size_t(g_utf8_next_char(s.data() + i) - s.data());
    }
    at.push_back(s.size());
    return at;
}

// The first occurrence of search in name: its byte range, compared exactly or by upper case.
bool FindText(const std::string& name, const std::string& search, bool caseSensitive, std::size_t* begin,
              std::size_t* end) {
    if (caseSensitive) {
        const std::size_t at = name.find(search);
        if (at == std::string::npos) return false;
        *begin = at;
        *end = at + search.size();
        return true;
    }
    const std::string wanted = Upper(search);
    const std::vector<std::size_t> starts = CharStarts(name);
    for (std::size_t i = 0; i + 1 < starts.size(); ++i)
        for (std::size_t j = i + 1; j < starts.size(); ++j) {
            const std::string piece = Upper(name.substr(starts[i], starts[j] - starts[i]));
            if (piece.size() > wanted.size()) break;
            if (piece == wanted) {
                *begin = starts[i];
                *end = starts[j];
                return true;
            }
        }
    return false;
}

void Record(FileActionRun* run, const FileFailure& failure) { run->report.passedOver.push_back(failure); }

}  // namespace

RenameSpec& LastRenameSpec() {
    static RenameSpec spec;
    return spec;
}

int RenameDigits(SInt32 n) {
    if (n < 0) n = -n;
    SInt64 limit = 10;
    for (int digits = 1; digits <= 9; ++digits, limit *= 10)
        if (n < limit) return digits;
    return 0;
}

std::string IncrementalName(const RenameSpec& spec, const std::string& name) {
    std::string out = spec.baseText;
    if (spec.zeroPad) {
        const int pad = RenameDigits(spec.highestNumber) - RenameDigits(spec.number);
        if (pad > 0) out.append(std::size_t(pad), '0');
    }
    out += std::to_string(spec.number);
    if (spec.keepExtension) {
        const std::size_t dot = name.rfind('.');
        if (dot != std::string::npos) out += name.substr(dot);
    }
    return out;
}

bool RenamedName(const RenameSpec& spec, const std::string& name, std::string* newName) {
    switch (spec.mode) {
    case kRenameReplaceString: {
        if (spec.searchText.empty()) return false;
        std::size_t begin = 0, end = 0;
        if (!FindText(name, spec.searchText, spec.caseSensitive != 0, &begin, &end)) return false;
        *newName = name.substr(0, begin) + spec.replacement + name.substr(end);
        return true;
    }
    case kRenameAddString:
        if (spec.position == kAddAtStart) {
            *newName = spec.addedText + name;
        } else if (spec.position == kAddAtEnd) {
            *newName = name + spec.addedText;
        } else {
            const std::size_t dot = name.rfind('.');
            *newName = dot == std::string::npos ? name + spec.addedText
                                                : name.substr(0, dot) + spec.addedText + name.substr(dot);
        }
        return true;
    case kRenameConvert:
        if (spec.letterCase == kConvertLower)
            *newName = Lower(name);
        else if (spec.letterCase == kConvertUpper)
            *newName = Upper(name);
        else
            return false;
        return true;
    default:
        return false;
    }
}

OSErr BatchRenameItem(void* refCon, CatalogRec* catalog, SInt32 item, long parameter) {
    FileActionRun* run = static_cast<FileActionRun*>(refCon);
    RenameSpec* spec = reinterpret_cast<RenameSpec*>(parameter);
    if (!spec) return noErr;
    FSSpec file;
    const OSErr found = CatalogFindItemPath(catalog, item, &file);
    if (found != noErr) {
        Record(run, {found, file.path});
        return noErr;
    }
    const std::string name = FSSpecName(file);
    FSSpec renamed;
    FileFailure failure;
    if (spec->mode == kRenameIncremental) {
        // A number whose name is taken is passed over; the padding grows with the numbers.
        for (int tries = 0; tries < 100000; ++tries) {
            const std::string newName = IncrementalName(*spec, name);
            const OSErr err = RenameMediaFile(file, newName, false, &renamed, &failure);
            if (err == dupFNErr && spec->number < 1000000000) {
                ++spec->number;
                ++spec->highestNumber;
                continue;
            }
            if (err != noErr) {
                Record(run, failure);
                return noErr;
            }
            ++spec->number;
            break;
        }
    } else {
        std::string newName;
        if (!RenamedName(*spec, name, &newName) || newName == name) return noErr;
        const OSErr err = RenameMediaFile(file, newName, spec->mode == kRenameConvert, &renamed, &failure);
        if (err != noErr) {
            Record(run, failure);
            return noErr;
        }
    }
    if (renamed.path.empty() || renamed.path == file.path) return noErr;
    const OSErr err = RepointItem(run->view, catalog, item, renamed, false);
    if (err != noErr) {
        // The item could not follow: the file takes its old name back.
        RenameMediaFile(renamed, name, spec->mode == kRenameConvert, nullptr, nullptr);
        Record(run, {err, file.path});
        return noErr;
    }
    run->report.done.push_back({file.path, renamed.path});
    return noErr;
}

namespace {

// At most n characters (not bytes) of UTF-8 text; other text is cut by bytes.
std::string FirstCharacters(const std::string& s, long n) {
    if (!g_utf8_validate(s.data(), gssize(s.size()), nullptr)) return s.substr(0, std::size_t(n));
    if (g_utf8_strlen(s.data(), gssize(s.size())) <= n) return s;
    const char* end = g_utf8_offset_to_pointer(s.data(), n);
    return std::string(s.data(), std::size_t(end - s.data()));
}

}  // namespace

void RenameSpecFromDialog(const RenameDialogValues& v, SInt32 selected, RenameSpec* spec) {
    spec->mode = SInt16(v.modeIndex + 1);
    spec->baseText = FirstCharacters(v.baseText, 30);
    spec->searchText = FirstCharacters(v.searchText, 30);
    spec->replacement = FirstCharacters(v.replacement, 30);
    spec->addedText = FirstCharacters(v.addedText, 30);
    const std::string digits = v.startText.substr(0, 10);
    long long start = 0;
    std::size_t i = 0;
    while (i < digits.size() && digits[i] == ' ') ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '-' || digits[i] == '+')) negative = digits[i++] == '-';
    for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) start = start * 10 + (digits[i] - '0');
    if (negative) start = -start;
    if (start > 1000000000) start = 1000000000;
    if (start < 1) start = 1;
    spec->number = SInt32(start);
    spec->highestNumber = SInt32(start + selected - 1);
    spec->keepExtension = 1;
    spec->zeroPad = v.zeroPad ? 1 : 0;
    spec->caseSensitive = v.caseSensitive ? 1 : 0;
    spec->position = UInt8(v.position);
    spec->letterCase = UInt8(v.letterCase);
}

FileActionReport BatchRenameSelection(ViewRec* view, RenameSpec* spec) {
    FileActionRun run;
    run.view = view;
    if (spec->mode == kRenameIncremental) {
        if (spec->number < 1) spec->number = 1;
        if (spec->number > 1000000000) spec->number = 1000000000;
        spec->highestNumber = spec->number + ViewCountSelected(view) - 1;
        spec->keepExtension = 1;
    }
    ResetConflictChoice();
    run.report.err = ProcessItemsWithProgress(view, BatchRenameItem, &run, false, false, reinterpret_cast<long>(spec));
    return run.report;
}
