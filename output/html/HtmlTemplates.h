// The gallery's page templates: the two built-in ones compiled into the program (the index
// page, TEXT 279, and the media page, TEXT 280) and the lookup of template sets on disk (a
// folder holding "index.html", "index.xml" and an "assets" folder), which is consulted to
// validate a stored set name and to find the assets a page refers to.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>

enum : long { kGalleryIndexTemplate = 279, kGalleryMediaTemplate = 280 };

// The built-in template's text; false when it cannot be loaded.
bool LoadBuiltInTemplate(long id, std::string* text);

// The item of a template set: kind 1 the index template "index.html", kind 5 the "assets"
// folder. The set folder is searched inside the folder named
// folderName ("HTML Templates") of the per-user data folder (only when a set name is given),
// then of the all-users data folder, then of the program's installed data; an empty set name
// means folderName itself. -43 when not found, -50 for a kind other than 1 and 5.
OSErr FindTemplateItem(const std::string& folderName, int kind, const std::string& setName, FSSpec* item);
