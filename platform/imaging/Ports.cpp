#include "platform/imaging/Ports.h"

namespace {
GWorldPtr gCurrent = nullptr;
unsigned long gTextCalls = 0;

PortState* Current() {
    return GetPortState(gCurrent);
}
}  // namespace

GWorldPtr GetGWorld() {
    return gCurrent;
}

void SetGWorld(GWorldPtr world) {
    gCurrent = world;
}

void RGBForeColor(const RGBColor* color) {
    if (PortState* p = Current(); p && color) p->foreColor = *color;
}
void RGBBackColor(const RGBColor* color) {
    if (PortState* p = Current(); p && color) p->backColor = *color;
}
void GetForeColor(RGBColor* color) {
    if (PortState* p = Current(); p && color) *color = p->foreColor;
}
void GetBackColor(RGBColor* color) {
    if (PortState* p = Current(); p && color) *color = p->backColor;
}
void GetPenState(PenState* pen) {
    if (PortState* p = Current(); p && pen) *pen = p->pen;
}
void SetPenState(const PenState* pen) {
    if (PortState* p = Current(); p && pen) p->pen = *pen;
}
void TextFont(std::int16_t font) {
    ++gTextCalls;
    if (PortState* p = Current()) p->textFont = font;
}
void TextFace(std::int16_t face) {
    ++gTextCalls;
    if (PortState* p = Current()) p->textFace = face;
}
void TextSize(std::int16_t size) {
    ++gTextCalls;
    if (PortState* p = Current()) p->textSize = size;
}
unsigned long PortTextCallCount() {
    return gTextCalls;
}
