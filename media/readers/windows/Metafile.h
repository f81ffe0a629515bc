// Windows metafiles played onto cairo: placeable metafiles (16-bit records behind the
// 22-byte placeable header), plain 16-bit metafiles (as DOS EPS previews embed them) and
// enhanced metafiles (32-bit records). The player knows the records that make drawings and
// previews: the mapping of logical coordinates, pens, brushes, fonts and the object table,
// lines, rectangles, ellipses, polygons, paths, text (drawn with pango) and device-independent
// bitmaps. Other records are
// stepped over. Every record's length is checked against the data and every count and offset
// inside it against the record.
#pragma once

#include <string_view>

typedef struct _cairo cairo_t;

enum class MetafileForm { None, Placeable, Plain, Enhanced };

struct MetafileFrame {
    MetafileForm form = MetafileForm::None;
    int width = 0;   // pixels at 96 dots per inch
    int height = 0;
    int himetricWidth = 0;  // hundredths of a millimetre
    int himetricHeight = 0;
};

// The form and picture size of the bytes; false when they are no metafile we can play, or
// when the picture is empty. A plain 16-bit metafile is taken only when `plainToo` is set (it
// carries no size of its own: its window extent gives it).
bool MetafileMeasure(std::string_view bytes, bool plainToo, MetafileFrame* out);

// Plays the metafile so that its picture fills the rectangle (0, 0, width, height) of the
// context. False when the bytes are no metafile MetafileMeasure takes.
bool MetafilePlay(std::string_view bytes, bool plainToo, cairo_t* cr, double width, double height);
