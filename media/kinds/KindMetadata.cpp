#include "media/imaging/ColorMatching.h"
#include "media/kinds/KindDispatch.h"
#include "media/metadata/IptcBlock.h"
#include "media/metadata/MetaValueStore.h"
#include "media/metadata/Xmp.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

// Copies every item of the type into the other list (text items as text in region 0).
void CopyItems(UserData from, UserData to, OSType type, bool asText) {
    Handle h = NewHandle(0);
    if (!h) return;
    short n = CountUserDataType(from, type);
    for (short i = 1; i <= n; ++i) {
        if (asText) {
            if (GetUserDataText(from, h, type, i, 0) == noErr) AddUserDataText(to, h, type, CountUserDataType(to, type) + 1, 0);
            else if (GetUserData(from, h, type, i) == noErr) AddUserData(to, h, type);
        } else if (GetUserData(from, h, type, i) == noErr) {
            AddUserData(to, h, type);
        }
    }
    DisposeHandle(h);
}

// The profile's description cut to 31 characters, the last three then "...".
void ProfileName(Handle profile, StringPtr out) {
    Str255 whole;
    out[0] = 0;
    if (!ProfileGetDescription(profile, whole)) return;
    if (whole[0] <= 31) {
        std::memcpy(out, whole, std::size_t(whole[0]) + 1);
        return;
    }
    out[0] = 31;
    std::memcpy(out + 1, whole + 1, 28);
    std::memcpy(out + 29, "...", 3);
}

}  // namespace

void KindGetMetadata(UserData metadata, KindInfoRec* info, Handle profile, Handle* iptc, Handle* technical,
                     Handle* recording) {
    if (!metadata) return;
    // 1. The IPTC block the reader found.
    if (iptc && (!*iptc || GetHandleSize(*iptc) == 0) && CountUserDataType(metadata, 'iptc') > 0) {
        Handle block = *iptc ? *iptc : NewHandle(0);
        if (block && GetUserData(metadata, block, 'iptc', 1) == noErr) *iptc = block;
        else if (block && block != *iptc) DisposeHandle(block);
    }
    // 2. The colour profile's name.
    if (info) {
        info->colorProfile[0] = 0;
        if (profile) {
            ProfileName(profile, info->colorProfile);
        } else if (CountUserDataType(metadata, 'icc ') > 0) {
            Handle icc = NewHandle(0);
            if (icc && GetUserData(metadata, icc, 'icc ', 1) == noErr) ProfileName(icc, info->colorProfile);
            if (icc) DisposeHandle(icc);
        }
    }
    // 3. The items, by type.
    UserData techList = nullptr;
    if (NewUserData(&techList) != noErr) techList = nullptr;
    Handle scratch = NewHandle(0);
    for (OSType type = OSType(GetNextUserDataType(metadata, 0)); type != 0;
         type = OSType(GetNextUserDataType(metadata, type))) {
        SInt32 fieldId = 0;
        UInt8 split = 0;
        if (type == 'LABL') {
            if (iptc) IptcAddUserDataText(iptc, metadata, scratch, type, 522, 0);
        } else if (type == 'TRCK' || type == 'CHAP') {
            if (techList) CopyItems(metadata, techList, type, false);
        } else if (type == kUdText_fmt || type == kUdText_mak || type == kUdText_mod || type == kUdText_swr) {
            if (techList) CopyItems(metadata, techList, type, true);
        } else if (type == 'talk') {
            if (recording && !*recording) {
                Handle h = NewHandle(0);
                if (h && GetUserData(metadata, h, 'talk', 1) == noErr) *recording = h;
                else if (h) DisposeHandle(h);
            }
        } else if (UserDataFieldLookup(type, &fieldId, &split)) {
            if (iptc) IptcAddUserDataText(iptc, metadata, scratch, type, UInt16(fieldId), split);
        } else if ((type >> 16) == 0x0677 || (type >> 16) == 0x6578) {
            if (techList) CopyItems(metadata, techList, type, false);
        }
    }
    if (scratch) DisposeHandle(scratch);
    // 4. XMP packets merge into the IPTC block.
    if (iptc && CountUserDataType(metadata, 'XMP ') > 0) {
        if (!*iptc) *iptc = NewHandle(0);
        if (*iptc) XmpReadPacket(metadata, *iptc);
    }
    // 5. The technical list, flattened.
    if (techList) {
        if (technical && GetNextUserDataType(techList, 0) != 0) {
            if (!*technical) *technical = NewHandle(0);
            if (*technical) PutUserDataIntoHandle(techList, *technical);
        }
        DisposeUserData(techList);
    }
}
