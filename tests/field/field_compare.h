// Whether the field's copy of the game equals the engine's game: a fresh copy
// built from the engine compared pile by pile and card by card (card, face,
// place), with each pile's visibility and base marks.
#pragma once

#include <string>

#include "engine/game_engine.h"
#include "field/field_model.h"

namespace corvelle::test {

// The first difference between two copies, or "" when they are equal.
std::string FieldDifference(const FieldLayout& got, const FieldLayout& want);
// The first difference between the copy and a fresh one from the engine.
std::string FieldDifferenceFromEngine(const FieldLayout& field, const CGameEngine& engine);

}  // namespace corvelle::test
