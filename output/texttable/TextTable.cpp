#include "output/texttable/TextTable.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/fields/FieldValue.h"
#include "foundation/resources/ResourceStrings.h"
#include "foundation/text/Unicode.h"
#include "platform/SafeRewrite.h"
#include "window/view/ViewOperations.h"

#include <memory>

namespace {

std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

struct TableJob {
    const TextTableSpec* spec;
    std::string text;
};

OSErr AddRow(void* refCon, CatalogRec* catalog, SInt32 item, long) {
    auto* job = static_cast<TableJob*>(refCon);
    job->text += TextTableRow(catalog, item, *job->spec);
    return noErr;
}

}  // namespace

void WriteTextTableValue(std::string* row, const TextTableSpec& spec, UInt8 style, int index, std::string value) {
    if (index > 0) {
        if (style == kTextTableTabs)
            *row += '\t';
        else if (style == kTextTableCommas)
            *row += ',';
        else
            *row += AnsiToUtf8(PText(spec.separator));
    }
    const bool quoted = style == kTextTableCommas || style == kTextTableMerge;
    if (quoted) *row += '"';
    for (char& c : value) {
        if (c == '"')
            c = '\'';
        else if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
        if (style == kTextTableCustom && c == ' ') c = '_';
    }
    *row += value;
    if (quoted) *row += '"';
}

std::string TextTableHeader(const CatalogRec* catalog, const TextTableSpec& spec) {
    // The merge style's header is written without quotation marks.
    const UInt8 style = spec.style == kTextTableMerge ? UInt8(kTextTableCustom) : spec.style;
    std::string row;
    for (std::size_t i = 0; i < spec.fields.size(); ++i) {
        Str255 name = {0};
        FieldGetName(catalog, spec.fields[i], name);
        WriteTextTableValue(&row, spec, style, int(i), AnsiToUtf8(PText(name)));
    }
    return row + "\r\n";
}

std::string TextTableRow(const CatalogRec* catalog, SInt32 item, const TextTableSpec& spec) {
    auto value = std::make_unique<FieldValue>();
    std::string row;
    for (std::size_t i = 0; i < spec.fields.size(); ++i) {
        FieldValueClear(value.get());
        const UInt8 type = ItemGetFieldVisible(catalog, item, 0, spec.fields[i], value.get());
        std::string text;
        if (type == 5) {
            const std::string bytes(value->text.bytes, std::size_t(std::max<int>(0, value->text.length)));
            text = value->text.encoding == kFieldTextUtf8 ? bytes : AnsiToUtf8(bytes);
        } else if (type != 0) {
            Str255 shown = {0};
            FieldValueToText(value.get(), type, spec.fields[i], shown, true);
            text = AnsiToUtf8(PText(shown));
        }
        if (text.empty()) text = "-";
        WriteTextTableValue(&row, spec, spec.style, int(i), text);
    }
    return row + "\r\n";
}

OSErr ExportTextTable(CatalogRec* catalog, ViewRec* view, const TextTableSpec& spec, const FSSpec* file,
                      bool allItems) {
    if (spec.fields.empty()) return noErr;
    if (!catalog || !view || !file) return paramErr;
    TableJob job{&spec, {}};
    if (spec.headerRow || spec.style == kTextTableMerge) job.text = TextTableHeader(catalog, spec);
    OSErr err;
    if (allItems) {
        Str255 title;
        LoadIndexedString(title, 136, 26);
        err = ViewRunOnItems(view, AddRow, &job, true, true, title, kItemLoopThreshold, 0);
    } else {
        err = ProcessItemsWithProgress(view, AddRow, &job, false, true, 0);
    }
    if (err != noErr) return err;
    SafeRewrite rewrite;
    SafeRewriteOptions options;
    options.tempPrefix = ".lxtable";
    err = rewrite.Begin(file, options);
    if (err == noErr) err = rewrite.Write(job.text.data(), job.text.size());
    if (err == noErr) err = rewrite.Commit();
    return err;
}
