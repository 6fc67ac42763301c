#include "tools/play/referee_check.h"

#include <algorithm>

#include "engine/player_move.h"
#include "tools/referee/model_solver.h"

namespace corvelle::gamec {

using referee::ModelPiles;

bool ReadPosition(const CGameEngine& e, const ModelPiles& piles, referee::Position& out, std::string& why) {
    out = referee::Position{};
    out.columns.assign(piles.columns.size(), {});
    out.foundations.assign(piles.foundations.size(), {});
    out.reserves.assign(piles.reserves.size(), {});
    for (uint16_t p = 0; p < e.GetPileCount(); ++p) {
        referee::Place place;
        if (!piles.PlaceOf(p, place)) {
            if (e.pileStates[p].count > 0) {
                why = "pile " + std::to_string(p) + " holds cards, and the rules have no such pile";
                return false;
            }
            continue;
        }
        referee::Pile& pile = PileAt(out, place);
        for (int k = 0; k < e.pileStates[p].count; ++k) {
            const uint16_t card = e.CardAt(p, k);
            pile.push_back({e.cards[card].suit, e.cards[card].rank, e.cardStates[card].faceUp != 0});
        }
    }
    // The model keeps its discard pile in card order: where a card went
    // counts, not when.
    std::sort(out.discard.begin(), out.discard.end(), [](const referee::Card& a, const referee::Card& b) {
        return a.suit * 16 + a.rank < b.suit * 16 + b.rank;
    });
    return true;
}

std::string ReplayInModel(const referee::Rules& rules, const uint8_t* record, size_t length, const ModelPiles& piles,
                          uint32_t number, const std::vector<Step>& steps) {
    CGameEngine e;
    if (!e.LoadGameDefinition(record, length) || !StartGame(e, number)) return "the game does not deal";
    referee::Position model, game;
    std::string why;
    if (!ReadPosition(e, piles, model, why)) return "the deal: " + why;
    if (why = referee::CheckDeal(rules, model); !why.empty()) return "the deal is not the rules' deal: " + why;
    const referee::Rules dealRules = referee::ForDeal(rules, model);
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        const std::string at = "step " + std::to_string(i + 1) + " (" + s.ToString() + ")";
        referee::Place from, to;
        if (!piles.PlaceOf(s.from, from) || (!s.click && !piles.PlaceOf(s.to, to))) return at + " has no move in the rules";
        const referee::Move m = s.click ? referee::Click(from) : referee::CardsMove(from, to, s.count);
        if (why = referee::Refusal(dealRules, model, m); !why.empty())
            return at + ", " + referee::MoveText(m) + ", is refused by the rules: " + why;
        referee::Make(dealRules, model, m);
        if (!ApplyStep(e, s, &why)) return at + " is refused by the game: " + why;
        if (!ReadPosition(e, piles, game, why)) return "after " + at + ": " + why;
        if (!(game == model))
            return "after " + at + " the game and the rules differ; the rules:\n" + referee::PositionText(model) +
                   "the game:\n" + referee::PositionText(game);
    }
    return referee::Won(dealRules, model) ? "" : "the rules do not count the line a win";
}

std::string PlayModelMoves(CGameEngine& e, const ModelPiles& piles, const std::vector<referee::Move>& moves) {
    std::string why;
    for (size_t i = 0; i < moves.size(); ++i) {
        const referee::Move& m = moves[i];
        const int from = piles.PileOf(m.from), to = piles.PileOf(m.to);
        if (from < 0 || to < 0) return "move " + std::to_string(i + 1) + ", " + referee::MoveText(m) + ", names a pile the game does not have";
        const Step s = m.click ? Step{true, static_cast<uint16_t>(from), 0, 0}
                               : Step{false, static_cast<uint16_t>(from), static_cast<uint16_t>(to), static_cast<uint16_t>(m.count)};
        if (!ApplyStep(e, s, &why))
            return "move " + std::to_string(i + 1) + ", " + referee::MoveText(m) + " (" + s.ToString() + "), is refused by the game: " + why;
    }
    return e.finished ? "" : "the rules' winning line does not finish the game";
}

void RefereeCheck(const GameEntry& game, const uint8_t* record, size_t length, int numbers, int wonAt,
                  const std::vector<Step>& won, std::map<int, long>& searched,
                  std::vector<std::string>& failures, std::vector<std::string>& log) {
    referee::Rules rules;
    std::string why;
    ModelPiles piles;
    if (!referee::ParseRules(game.referee, rules, why) || !(why = referee::MapPiles(rules, game.pileNames, piles)).empty()) {
        failures.push_back("referee: " + why);
        return;
    }
    const size_t before = failures.size();
    // 1. The search's win, step by step by the rules.
    std::string line = "no win of the search to replay";
    if (wonAt > 0) {
        line = ReplayInModel(rules, record, length, piles, static_cast<uint32_t>(wonAt), won);
        if (!line.empty()) failures.push_back("referee, the search's win of number " + std::to_string(wonAt) + ": " + line);
        else line = "the search's win of number " + std::to_string(wonAt) + " replayed by the rules";
    }
    // 2 and 3. The model's own solutions in the game; its proofs that a deal
    // has none against the search.
    CGameEngine e;
    if (!e.LoadGameDefinition(record, length)) return;
    int solved = 0, unsolvable = 0, crossChecked = 0, notWon = 0;
    long positions = 0;
    for (int n = 1; n <= numbers && failures.size() < before + 5; ++n) {
        const std::string deal = "referee, number " + std::to_string(n) + ": ";
        StartGame(e, static_cast<uint32_t>(n));
        referee::Position start;
        if (!ReadPosition(e, piles, start, why) || !(why = referee::CheckDeal(rules, start)).empty()) {
            failures.push_back(deal + "the deal is not the rules' deal: " + why);
            continue;
        }
        const referee::Solution s = referee::Solve(referee::ForDeal(rules, start), start, rules.budget);
        positions += s.positions;
        if (s.verdict == referee::Verdict::Solved) {
            if (const std::string r = PlayModelMoves(e, piles, s.moves); !r.empty()) failures.push_back(deal + r);
            else ++solved;
        } else if (s.verdict == referee::Verdict::NoSolution) {
            ++unsolvable;
            // The search spends its whole budget on a deal it cannot win:
            // it tries the first few only, besides those it has tried.
            if (!searched.count(n) && crossChecked >= rules.crossChecks) continue;
            crossChecked += !searched.count(n);
            const long winLength = SearchWinLength(e, game, n, searched);
            notWon += winLength < 0;
            if (winLength >= 0)
                failures.push_back(deal + "the rules leave it no win, yet the search wins it in " +
                                   std::to_string(winLength) + " steps");
        }
    }
    log.push_back("referee (" + game.referee + "): " + std::to_string(solved) + " of " + std::to_string(numbers) +
                  " deals solved and replayed, " + std::to_string(unsolvable) + " shown unsolvable (" +
                  std::to_string(notWon) + " of them not won by the search; " + std::to_string(positions) +
                  " positions); " + (line.empty() ? "the search's win refused" : line));
}

}  // namespace corvelle::gamec
