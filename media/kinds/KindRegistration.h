// The kind families that the engine start registers itself: Windows media, office documents
// and PDF, and the movie importers. (The graphics importers register with their handler.)
#pragma once

#include "platform/MacTypes.h"
#include "platform/movies/MovieImporterTable.h"

// Video and audio kinds of the Windows media family (handler 3).
OSErr KindRegisterWindowsMedia();
// Office and PDF kinds (handler 7); category Image under edition 400, else Text.
OSErr KindRegisterOfficeDocuments(SInt32 edition);
// The movie kinds of the platform's movie importers (handler 2).
void KindRegisterMovieImporters();
// The registration rules applied to a list of importers.
void KindRegisterMovieImporterList(const MovieImporterComponentInfo* list, int count);
