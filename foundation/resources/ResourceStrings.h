// Indexed resource strings and typed resources.
//
// Texts are numbered lists: entry i of list L is the string whose id is (L x 100 + i) modulo
// 65,536. They come from the current resource module, a language's string table that the
// application sets once at start-up; ids the module lacks, and every id while no module is set,
// come from the program's own English table. Typed binary resources always come from the
// program's own store, never from a language module.
#pragma once

#include "platform/MacTypes.h"

#include <string>

// A language's string table: one of the tables built into the program, or one loaded from a
// file in the string-table format (resources/README.md).
struct ResourceModule;

// Stores the module strings are loaded from (null: the program's own English table).
void SetResourceModule(ResourceModule* module);
ResourceModule* GetResourceModule();

// The table built into the program for a language ("en", ...), or null. Never disposed.
ResourceModule* GetBuiltInResourceModule(const char* language);

// Loads a language file. fnfErr when it does not exist, ioErr when it cannot be read,
// paramErr when its contents are not a valid table (problem, when given, says where).
OSErr LoadResourceModuleFile(const char* utf8Path, ResourceModule** module,
                             std::string* problem = nullptr);

// Frees a module loaded from a file (built-in modules are left alone). When it is the current
// module, the current module becomes null first.
void DisposeResourceModule(ResourceModule* module);

// The string id of (list, index): (list x 100 + index) modulo 65,536.
UInt16 IndexedStringId(long list, long index);

// Loads entry index of list into dst as Windows-1252 text of at most 254 bytes;
// a missing string gives the empty string.
void LoadIndexedString(StringPtr dst, long list, long index);
// Appends that string to dst, cut at 255 bytes; a missing string appends nothing.
void AppendIndexedString(StringPtr dst, long list, long index);

// The whole text of string id as UTF-8 (for the interface, which is not bound to 8 bits);
// false and an empty text when the string does not exist.
bool LoadResourceStringUtf8(UInt16 id, std::string* text);

// Copies the typed resource (type, id) of the program's own store into a new handle.
// *out is null on every failure; resNotFound when there is no such resource, memFullErr when
// the handle cannot be had.
OSErr LoadResourceHandle(Handle* out, OSType type, long id);
