// The library check's second referee: a game played against the rules
// model of tools/referee, both ways. The engine's piles named tableau1..
// and foundation1.. are the model's columns and foundations; a click on the
// pile named stock is the redeal.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/play/play.h"
#include "tools/referee/rules_model.h"

namespace corvelle::gamec {

// Where each of the engine's piles lies in the model.
struct ModelPiles {
    std::vector<int> columns, foundations;   // the engine's pile of each column, of each foundation
    int stock = -1;                          // the pile whose click redeals, -1: none
    // The model's place of engine pile `pile`; false when it has none.
    bool PlaceOf(size_t pile, referee::Place& place) const;
    uint16_t PileOf(const referee::Place& place) const;
};
ModelPiles MapPiles(const std::vector<std::string>& pileNames);

// The engine's position as the model's; false with the reason when a card
// lies on a pile the model does not have.
bool ReadPosition(const CGameEngine& engine, const ModelPiles& piles, referee::Position& out, std::string& why);

// Plays `steps` from a fresh deal of `number` in the engine and in the
// model side by side: every step must be legal by the rules, both must
// agree on the position after it, and the model must end won. "" or what
// went wrong.
std::string ReplayInModel(referee::Rules rules, const uint8_t* record, size_t length, const ModelPiles& piles,
                          uint32_t number, const std::vector<Step>& steps);

// Plays the model's moves in `engine` through the player move: "" when
// every one is accepted and the game is finished, else what went wrong.
std::string PlayModelMoves(CGameEngine& engine, const ModelPiles& piles, const std::vector<referee::Move>& moves);

// Positions the model's solver may enter for one deal.
constexpr long kRefereeBudget = 30000;

// The checks against the rules model on game numbers 1..`numbers`: the
// search's winning line `won` of number `wonAt` replayed in the model; the
// model's solutions replayed in the engine; no deal the model shows to have
// no solution won by the search (`searched`: number -> the length of the
// search's win, -1 none, for the numbers already searched, and kept).
void RefereeCheck(const GameEntry& game, const uint8_t* record, size_t length, int numbers, int wonAt,
                  const std::vector<Step>& won, std::map<int, long>& searched,
                  std::vector<std::string>& failures, std::vector<std::string>& log);

}  // namespace corvelle::gamec
