#include "media/readers/layout/QuarkPreview.h"

#include "foundation/format/Units.h"
#include "media/imaging/ImportToOffscreen.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/MetaFile.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTailBytes = 100;
// No preview block comes near this; a length beyond it is damage, not a block to read.
constexpr SInt64 kMaxBlockBytes = 256LL << 20;
const std::string_view kBlockStart = "<LyrexXT>";
const std::string_view kBlockEnd = "</LyrexXT>";
const std::string_view kSectionLength = "<LyrexXTSectionLength>";

std::string_view NameOf(std::string_view tag) {
    return tag.substr(1, tag.size() - 2);  // without "<" and ">"
}

}  // namespace

void KindRegisterQuarkXPress() {
    KindRegister('QXD ', kKindHandlerBuiltin, "QuarkXPress", kKindCategoryDTP);
    KindRegister('XDOC', kKindHandlerBuiltin, "QuarkXPress", kKindCategoryDTP);
}

bool IsQuarkXPressType(OSType type) {
    return type == 'QXD ' || type == 'XDOC';
}

bool XtFindTagValue(std::string_view tag, std::string_view block, std::size_t* position, std::size_t* end) {
    if (*position > block.size() || block.substr(*position, tag.size()) != tag) return false;
    *position += tag.size();
    const std::string closing = "</" + std::string(NameOf(tag)) + ">";
    const std::size_t at = block.find(closing, *position);
    *end = at == std::string_view::npos ? block.size() : at;
    return true;
}

SInt32 XtParseInt(std::string_view text) {
    std::string digits(text.substr(0, 32));
    const long long v = std::strtoll(digits.c_str(), nullptr, 10);
    return SInt32(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

OSErr ReadQuarkXPressPreview(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, const UInt32* wanted) {
    if (offscreen) *offscreen = nullptr;
    MetaReader file;
    if (OSErr err = file.Open(spec)) return err;
    char tail[kTailBytes];
    if (OSErr err = file.ReadAt(file.Length() - SInt64(kTailBytes), tail, kTailBytes)) return err;
    const std::string_view last(tail, kTailBytes);
    if (last.substr(kTailBytes - kBlockEnd.size()) != kBlockEnd) return kQuarkNoBlockErr;
    const std::size_t lengthAt = last.find(kSectionLength);
    if (lengthAt == std::string_view::npos) return kQuarkNoBlockErr;
    const SInt64 length = XtParseInt(last.substr(lengthAt + kSectionLength.size()));
    if (length < SInt64(kBlockStart.size() + kBlockEnd.size()) || length > file.Length() || length > kMaxBlockBytes)
        return kQuarkNoBlockErr;
    std::vector<std::uint8_t> bytes;
    if (OSErr err = file.ReadVector(file.Length() - length, std::size_t(length), &bytes)) return err;
    const std::string_view block(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (block.substr(0, kBlockStart.size()) != kBlockStart) return kQuarkNoBlockErr;

    const UInt32 want = wanted ? *wanted : 1;
    UInt32 previews = 0;
    OSErr result = noErr;
    std::size_t from = kBlockStart.size();
    for (;;) {
        std::size_t at = block.find('<', from);
        if (at == std::string_view::npos) break;
        std::size_t position = at, end = 0;
        auto value = [&] { return block.substr(position, end - position); };
        if (XtFindTagValue("<LyrexXTVersion>", block, &position, &end)) {
            // The version is read and not used.
        } else if (XtFindTagValue("<pageCount>", block, &position, &end)) {
            if (info) info->pages = UInt32(std::max<SInt32>(0, XtParseInt(value())));
        } else if (XtFindTagValue("<pageWidth>", block, &position, &end)) {
            if (info) info->width = UInt32(std::max<SInt32>(0, ScaleValueByUnit(XtParseInt(value()) * 0.1, kUnitCentimeters, 72)));
        } else if (XtFindTagValue("<pageHeight>", block, &position, &end)) {
            if (info) info->height = UInt32(std::max<SInt32>(0, ScaleValueByUnit(XtParseInt(value()) * 0.1, kUnitCentimeters, 72)));
        } else if (XtFindTagValue("<pagePreview>", block, &position, &end)) {
            if (++previews == want && offscreen && !*offscreen) {
                Handle jpeg = NewHandle(Size(end - position));
                if (!jpeg) {
                    if (result == noErr) result = memFullErr;
                } else {
                    std::memcpy(*jpeg, block.data() + position, end - position);
                    OSErr err = noErr;
                    *offscreen = GraphicsImportToOffscreen(jpeg, 'JPEG', k32BGRAPixelFormat, srcCopy, nullptr, &err);
                    if (!*offscreen && err == noErr) err = kBadMediaDataErr;
                    if (result == noErr) result = err;
                    DisposeHandle(jpeg);
                }
            }
        } else {
            // Any other element: on to the ">" after the next closing tag.
            const std::size_t closing = block.find("</", at);
            if (closing == std::string_view::npos) break;
            const std::size_t gt = block.find('>', closing);
            if (gt == std::string_view::npos) break;
            from = gt + 1;
            continue;
        }
        // Past the closing tag of the element just read.
        const std::size_t gt = block.find('>', end);
        if (gt == std::string_view::npos) break;
        from = gt + 1;
    }
    return result;
}

OSErr QuarkGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen) {
    return ReadQuarkXPressPreview(spec, info, offscreen, nullptr);
}

OSErr QuarkMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, UInt16 orientation, const UInt32* wanted) {
    if (!offscreen) return paramErr;
    OSErr err = ReadQuarkXPressPreview(spec, nullptr, offscreen, wanted);
    if (err == noErr && orientation && *offscreen) err = ApplyOrientation(offscreen, orientation);
    return err;
}
