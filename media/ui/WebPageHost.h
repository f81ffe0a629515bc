// Web pages drawn into an offscreen by WebKitGTK: a web view in a window that is never shown,
// JavaScript off, pages unable to open windows or navigate away, and no network: the page is
// served through a scheme of our own that hands out only files inside the page's own folder
// (a request that leaves the folder fails), and every other request goes to a proxy that does
// not exist. The view is waited for up to a time limit, pumping the GLib main loop as the user
// interface's own loop would, then snapshotted.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <string>

// The page area is grey where the page could not be loaded (the light face colour of controls).
inline constexpr RGBColor kWebPageFailedColor{0xE3E3, 0xE3E3, 0xE3E3};

enum class WebPageLoad { Loading, Complete, Failed };

struct WebPageHost;

// A host showing the file in a view of width x height (plus room for the scroll bars, which
// stay outside the area drawn). Null when there is no display to make a view on.
WebPageHost* WebPageHostCreate(const std::string& path, int width, int height);
void WebPageHostDestroy(WebPageHost* host);
// Waits until the page completed or failed, or the time limit passed: true when it completed
// or the time ran out (the page is drawn as far as it came), false when it failed.
bool WebPageHostWait(WebPageHost* host, int timeoutMs);
WebPageLoad WebPageHostState(const WebPageHost* host);
// Waits, then draws the page into the world's area of width x height; a page that failed is
// drawn as the grey area. 0 when the page was drawn, -1 otherwise.
int WebPageHostRender(WebPageHost* host, GWorldPtr world, int timeoutMs);
