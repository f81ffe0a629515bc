// Work that other libraries attach to every catalog's life. The catalog engine knows nothing of
// adding, refreshing or watching; the import library registers what it must do when the engine
// starts and stops and when a catalog is opened or closed, and the engine calls each registered
// hook at that moment, in the order of registration.
#pragma once

struct CatalogRec;

using CatalogHookProc = void (*)(CatalogRec* catalog);
using CatalogEngineHookProc = void (*)();

// Each registration is kept once (registering the same procedure again changes nothing) and
// lasts for the whole process, across restarts of the engine.
void CatalogRegisterOpenHook(CatalogHookProc proc);          // after a catalog opened
void CatalogRegisterCloseHook(CatalogHookProc proc);         // before a catalog is freed
void CatalogRegisterEngineStartHook(CatalogEngineHookProc proc);
void CatalogRegisterEngineStopHook(CatalogEngineHookProc proc);

// Called by the engine itself.
void CatalogRunOpenHooks(CatalogRec* catalog);
void CatalogRunCloseHooks(CatalogRec* catalog);
void CatalogRunEngineStartHooks();
void CatalogRunEngineStopHooks();
