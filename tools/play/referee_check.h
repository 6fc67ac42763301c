// The library check's second referee: a game played against the rules
// model of tools/referee, both ways. The game's piles play the model's piles
// by their names (tools/referee/model_piles.h); a click is a click on the
// same pile in the model.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/play/play.h"
#include "tools/referee/model_piles.h"
#include "tools/referee/rules_model.h"

namespace corvelle::gamec {

// The engine's position as the model's; false with the reason when a card
// lies on a pile the model does not have.
bool ReadPosition(const CGameEngine& engine, const referee::ModelPiles& piles, referee::Position& out, std::string& why);

// Plays `steps` from a fresh deal of `number` in the engine and in the
// model side by side: every step must be legal by the rules, both must
// agree on the position after it, and the model must end won. "" or what
// went wrong.
std::string ReplayInModel(const referee::Rules& rules, const uint8_t* record, size_t length, const referee::ModelPiles& piles,
                          uint32_t number, const std::vector<Step>& steps);

// Plays the model's moves in `engine` through the player move: "" when
// every one is accepted and the game is finished, else what went wrong.
std::string PlayModelMoves(CGameEngine& engine, const referee::ModelPiles& piles, const std::vector<referee::Move>& moves);

// The checks against the rules model on game numbers 1..`numbers`: the
// search's winning line `won` of number `wonAt` replayed in the model; the
// model's solutions replayed in the engine; no deal the model shows to have
// no solution won by the search (`searched`: number -> the length of the
// search's win, -1 none, for the numbers already searched, and kept; of the
// others, as many as the rules' `crossChecks` say).
void RefereeCheck(const GameEntry& game, const uint8_t* record, size_t length, int numbers, int wonAt,
                  const std::vector<Step>& won, std::map<int, long>& searched,
                  std::vector<std::string>& failures, std::vector<std::string>& log);

}  // namespace corvelle::gamec
