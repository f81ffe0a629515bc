#include "platform/MacTypes.h"

#include <algorithm>

void SetRect(Rect* r, int left, int top, int right, int bottom) {
    r->left = std::int16_t(left);
    r->top = std::int16_t(top);
    r->right = std::int16_t(right);
    r->bottom = std::int16_t(bottom);
}

void OffsetRect(Rect* r, int dh, int dv) {
    r->left = std::int16_t(r->left + dh);
    r->right = std::int16_t(r->right + dh);
    r->top = std::int16_t(r->top + dv);
    r->bottom = std::int16_t(r->bottom + dv);
}

void InsetRect(Rect* r, int dh, int dv) {
    r->left = std::int16_t(r->left + dh);
    r->right = std::int16_t(r->right - dh);
    r->top = std::int16_t(r->top + dv);
    r->bottom = std::int16_t(r->bottom - dv);
}

bool EmptyRect(const Rect* r) { return r->bottom <= r->top || r->right <= r->left; }

bool EqualRect(const Rect* a, const Rect* b) {
    return a->top == b->top && a->left == b->left && a->bottom == b->bottom && a->right == b->right;
}

bool PtInRect(Point pt, const Rect* r) {
    return pt.h >= r->left && pt.h < r->right && pt.v >= r->top && pt.v < r->bottom;
}

bool SectRect(const Rect* a, const Rect* b, Rect* out) {
    Rect s{std::max(a->top, b->top), std::max(a->left, b->left), std::min(a->bottom, b->bottom),
           std::min(a->right, b->right)};
    if (EmptyRect(&s)) {
        *out = Rect{0, 0, 0, 0};
        return false;
    }
    *out = s;
    return true;
}

void UnionRect(const Rect* a, const Rect* b, Rect* out) {
    if (EmptyRect(a)) { *out = *b; return; }
    if (EmptyRect(b)) { *out = *a; return; }
    *out = Rect{std::min(a->top, b->top), std::min(a->left, b->left), std::max(a->bottom, b->bottom),
                std::max(a->right, b->right)};
}
