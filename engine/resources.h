// Resource lookup, the game database and the small general routines that the
// other subsystems borrow from the engine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/records.h"

namespace corvelle {

// Finds a resource of the program by numeric id and type name. The pointer
// stays valid for the life of the process; a missing resource gives nullptr
// and size 0. On Windows this reads the executable's resources; the host
// build reads a table filled by RegisterAppResource / LoadResourceDirectory.
const uint8_t* LoadAppResource(uint16_t id, const wchar_t* typeName, uint32_t* size = nullptr);

#ifndef _WIN32
// Host build only: makes bytes (copied) available under (id, type name).
void RegisterAppResource(uint16_t id, const wchar_t* typeName, const void* data, size_t size);
// Host build only: registers every file named TYPE_ID.bin in a folder, as the
// database packer writes them; returns the number of resources registered.
int LoadResourceDirectory(const char* folder);
void ClearAppResources();
#endif

// Number of games in the database (the SOLID table's length / 2), at most 800.
int GetGameCount();

// Inflates the GameRecord of database position `position` into a new buffer
// of exactly SOLSIZE[position] bytes (released by the caller with free()).
// Returns nullptr on any failure. `length` (optional) receives the size.
uint8_t* InflateGameRecord(uint16_t position, uint32_t* length = nullptr);

// The working part of InflateGameRecord, over one group stream and the
// group's record sizes: skips `skip` bytes of inflated output, then returns
// the next `length` bytes in a new malloc'ed buffer, or nullptr.
uint8_t* InflateFromStream(const uint8_t* stream, uint32_t streamSize, uint32_t skip, uint32_t length);

using SortCompare = int (*)(const void* a, const void* b, void* context);
// Stable in-place sort of `count` records of `width` bytes.
void SortArray(void* base, int32_t count, uint32_t width, SortCompare compare, void* context);
void StableSort(void* base, int32_t count, uint32_t width, SortCompare compare, void* context);

// Layout arithmetic: mode 1 a*b/c, mode 2 a+(b-c)/2, mode 3 a+b-c, else a.
// The modes are those of the piles' anchors (AnchorKind): a value kept,
// scaled, measured from the centre or from the far edge.
enum ScaleAlignMode : int32_t { ScaleKeep = 0, ScaleProportional = 1, ScaleFromCentre = 2, ScaleFromFarEdge = 3 };
int32_t ScaleAlign(int32_t a, int32_t b, int32_t c, int32_t mode);
// The ScaleAlign mode that fits a pile's fan extent to the drawing.
inline ScaleAlignMode ExtentScaleMode(uint8_t extentKind) {
    return extentKind == ExtentFixed ? ScaleKeep : extentKind == ExtentScaled ? ScaleProportional : ScaleFromFarEdge;
}

// Grid-to-pixel scale of the layout: a card is 79 x 112 pixels on the
// layout reference of records.h (kLayoutReference units per direction).
constexpr int kCardWidth = 79;
constexpr int kCardHeight = 112;

}  // namespace corvelle
