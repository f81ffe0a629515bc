#include "media/metadata/Xmp.h"

#include "media/metadata/XmpFieldMap.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

namespace {

std::once_flag gNamespacesRegistered;

struct XmpObject {
    XmpPtr p = nullptr;
    ~XmpObject() {
        if (p) xmp_free(p);
    }
};

struct XmpText {
    XmpStringPtr s = xmp_string_new();
    ~XmpText() { xmp_string_free(s); }
};

// Packets read back from files may carry NULs after their wrapper (a fixed-size TIFF value);
// the XML parser stops at them, so they are left out.
std::size_t TrimmedLength(const char* bytes, std::size_t size) {
    while (size > 0 && bytes[size - 1] == 0) --size;
    return size;
}

void ApplyReadRows(XmpPtr xmp, Handle block) {
    const XmpFieldMapRow* rows = XmpFieldMap();
    for (int i = 0; i < kXmpFieldMapRows; ++i)
        if (rows[i].read) rows[i].read(xmp, rows[i].ns, rows[i].path, rows[i].fieldId, block);
}

void ReadPacketBytes(const char* bytes, std::size_t size, Handle block) {
    size = TrimmedLength(bytes, size);
    if (size == 0) return;
    XmpObject xmp;
    xmp.p = xmp_new(bytes, size);
    if (!xmp.p) return;  // a packet that does not parse is skipped
    ApplyReadRows(xmp.p, block);
}

// Empty array items become blanks of the same length, so the packet keeps its size:
// "<rdf:li/>" or "<rdf:li></rdf:li>" directly followed (after white space) by "<rdf:li>".
void BlankEmptyItems(char* p, std::size_t size) {
    static const char* const kEmpty[] = {"<rdf:li/>", "<rdf:li></rdf:li>"};
    static const char kItem[] = "<rdf:li>";
    for (const char* empty : kEmpty) {
        const std::size_t n = std::strlen(empty);
        for (std::size_t i = 0; i + n <= size; ++i) {
            if (std::memcmp(p + i, empty, n) != 0) continue;
            std::size_t j = i + n;
            while (j < size && (p[j] == ' ' || p[j] == '\n' || p[j] == '\r' || p[j] == '\t')) ++j;
            if (j + sizeof kItem - 1 <= size && std::memcmp(p + j, kItem, sizeof kItem - 1) == 0)
                std::memset(p + i, ' ', n);
        }
    }
}

// Several rows reach Dublin Core arrays through the toolkit's aliases (Caption, Title,
// Copyright, Author, Keywords); removing the value leaves the array empty, and an empty array
// goes too.
void DropEmptyAliasArrays(XmpPtr xmp) {
    static const char kDublinCore[] = "http://purl.org/dc/elements/1.1/";
    static const char* const kArrays[] = {"description", "title", "rights", "creator", "subject"};
    XmpText value;
    for (const char* name : kArrays) {
        std::uint32_t options = 0;
        if (!xmp_get_property(xmp, kDublinCore, name, value.s, &options) || !XMP_IS_PROP_ARRAY(options)) continue;
        std::string first = std::string(name) + "[1]";
        if (!xmp_get_property(xmp, kDublinCore, first.c_str(), value.s, nullptr)) xmp_delete_property(xmp, kDublinCore, name);
    }
}

bool Serialize(XmpPtr xmp, XmpStringPtr out, std::uint32_t options, std::uint32_t padding) {
    return xmp_serialize_and_format(xmp, out, options, padding, "\n", "", 0);
}

}  // namespace

void XmpRegisterNamespaces() {
    // Readings on several threads may be the first at the same time.
    std::call_once(gNamespacesRegistered, [] {
        xmp_init();
        XmpText registered;
        xmp_register_namespace(kXmpNsQuantaro, kXmpPrefixQuantaro, registered.s);
        xmp_register_namespace(kXmpNsIptcCore, kXmpPrefixIptcCore, registered.s);
    });
}

void XmpReadPacket(UserData metadata, Handle block) {
    if (!metadata) return;
    XmpRegisterNamespaces();
    short count = CountUserDataType(metadata, 'XMP ');
    if (count <= 0) return;
    Handle packet = NewHandle(0);
    if (!packet) return;
    for (short i = 1; i <= count; ++i) {
        if (GetUserData(metadata, packet, 'XMP ', i) != noErr) continue;
        ReadPacketBytes(*packet, static_cast<std::size_t>(GetHandleSize(packet)), block);
    }
    DisposeHandle(packet);
}

void XmpReadPacketData(Handle packet, Handle block) {
    if (!packet) return;
    Size size = GetHandleSize(packet);
    if (MemError() || size <= 0) return;
    XmpRegisterNamespaces();
    ReadPacketBytes(*packet, static_cast<std::size_t>(size), block);
}

OSErr XmpWritePacket(Handle packet, Handle block, Boolean* grown, long sizeLimit) {
    if (grown) *grown = false;
    if (!packet) return nilHandleErr;
    const Size oldSize = GetHandleSize(packet);
    if (MemError()) return nilHandleErr;
    XmpRegisterNamespaces();

    XmpObject xmp;
    if (oldSize > 0) {
        std::size_t length = TrimmedLength(*packet, static_cast<std::size_t>(oldSize));
        xmp.p = length ? xmp_new(*packet, length) : xmp_new_empty();
        if (!xmp.p) return kBadMediaDataErr;
    } else {
        xmp.p = xmp_new_empty();
        if (!xmp.p) return memFullErr;
    }

    const XmpFieldMapRow* rows = XmpFieldMap();
    for (int i = 0; i < kXmpFieldMapRows; ++i)
        if (rows[i].write) rows[i].write(xmp.p, rows[i].ns, rows[i].path, rows[i].fieldId, block);
    DropEmptyAliasArrays(xmp.p);

    // The serialised length without padding: one byte of padding asked for, taken off again.
    XmpText text;
    if (!Serialize(xmp.p, text.s, 0, 1)) return kBadMediaDataErr;
    const std::size_t contentLength = xmp_string_len(text.s) - 1;

    if (oldSize > 0 && Serialize(xmp.p, text.s, XMP_SERIAL_EXACTPACKETLENGTH, static_cast<std::uint32_t>(oldSize)) &&
        xmp_string_len(text.s) == static_cast<std::size_t>(oldSize)) {
        std::memcpy(*packet, xmp_string_cstr(text.s), static_cast<std::size_t>(oldSize));
        BlankEmptyItems(*packet, static_cast<std::size_t>(oldSize));
        return noErr;
    }

    std::size_t total = contentLength + std::max<std::size_t>(contentLength / 2, 4096);
    total = (total + 3) & ~std::size_t(3);
    if (sizeLimit > 0 && static_cast<std::size_t>(sizeLimit) < total) total = static_cast<std::size_t>(sizeLimit);
    if (total > 0x7FFFFFFF) return paramErr;
    if (!Serialize(xmp.p, text.s, XMP_SERIAL_EXACTPACKETLENGTH, static_cast<std::uint32_t>(total)) ||
        xmp_string_len(text.s) != total)
        return paramErr;
    SetHandleSize(packet, static_cast<Size>(total));
    if (OSErr err = MemError()) return err;
    std::memcpy(*packet, xmp_string_cstr(text.s), total);
    BlankEmptyItems(*packet, total);
    if (grown) *grown = true;
    return noErr;
}
