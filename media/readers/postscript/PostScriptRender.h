// PostScript drawn by the Ghostscript library. A PostScript file is a program, so it is run in
// a child process of its own: with -dSAFER (no file opened but the file itself and the
// interpreter's own resources, no file written, no command run), a processor-time limit and a
// memory cap on the child, and a wall-clock limit after which the parent kills it. The first
// page comes back through a pipe as raw RGB rows and becomes a 32-bit world.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstddef>

enum : OSErr {
    kPostScriptRenderErr = -8961,   // the interpreter failed, was stopped or drew nothing
};

struct PostScriptRenderLimits {
    int seconds = 10;                         // wall clock and processor time of one rendering
    std::size_t memoryBytes = 768u << 20;     // address space the child may add
};
// The limits of every later rendering (tests make them small).
void PostScriptSetRenderLimits(const PostScriptRenderLimits& limits);
PostScriptRenderLimits PostScriptGetRenderLimits();

// Draws the file's first page cropped to its bounding box (points; a page of US letter when
// the box is empty), scaled so that its longer side is `side` pixels (1..4096), into a new
// 32-bit world.
OSErr PostScriptRenderPage(const FSSpec* spec, double boxWidth, double boxHeight, int side, GWorldPtr* offscreen);
