// Resource ids of the side panels: the header arrows, the picture shown in
// place of the advertisement page, the clear confirmation's strings and the
// main panel's control id. res/panels.rc holds the strings; the artwork
// (tools/artgen) draws the bitmaps.
#pragma once

#define IDB_REGION_OPEN 321
#define IDB_REGION_CLOSED 322
#define IDB_ADVERT_FALLBACK 324
#define IDS_CLEAR_CONFIRM_CAPTION 6002
#define IDS_CLEAR_CONFIRM_TEXT 6003

#ifndef RC_INVOKED
namespace corvelle {
constexpr unsigned kBitmapRegionOpen = IDB_REGION_OPEN;
constexpr unsigned kBitmapRegionClosed = IDB_REGION_CLOSED;
constexpr unsigned kBitmapAdvertFallback = IDB_ADVERT_FALLBACK;
constexpr unsigned kStringClearConfirmCaption = IDS_CLEAR_CONFIRM_CAPTION;
constexpr unsigned kStringClearConfirmText = IDS_CLEAR_CONFIRM_TEXT;
constexpr unsigned kMainPopupsControlId = 105;
}  // namespace corvelle
#endif
