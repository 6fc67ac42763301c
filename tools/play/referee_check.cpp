#include "tools/play/referee_check.h"

#include "engine/player_move.h"
#include "tools/referee/model_solver.h"

namespace corvelle::gamec {
namespace {

// The number after `prefix` in a pile name ("tableau12" -> 12), 0 when the
// name is not one of the group.
int Member(const std::string& name, const std::string& prefix) {
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() == prefix.size() || name.size() > prefix.size() + 3) return 0;
    int n = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

}  // namespace

ModelPiles MapPiles(const std::vector<std::string>& pileNames) {
    ModelPiles m;
    for (size_t p = 0; p < pileNames.size(); ++p) {
        if (pileNames[p] == "stock") m.stock = static_cast<int>(p);
        for (auto* group : {&m.columns, &m.foundations}) {
            const int k = Member(pileNames[p], group == &m.columns ? "tableau" : "foundation");
            if (k < 1) continue;
            if (group->size() < static_cast<size_t>(k)) group->resize(static_cast<size_t>(k), -1);
            (*group)[static_cast<size_t>(k - 1)] = static_cast<int>(p);
        }
    }
    return m;
}

bool ModelPiles::PlaceOf(size_t pile, referee::Place& place) const {
    for (bool foundation : {false, true}) {
        const std::vector<int>& group = foundation ? foundations : columns;
        for (size_t k = 0; k < group.size(); ++k)
            if (group[k] == static_cast<int>(pile)) {
                place = {foundation, static_cast<int>(k)};
                return true;
            }
    }
    return false;
}

uint16_t ModelPiles::PileOf(const referee::Place& place) const {
    return static_cast<uint16_t>((place.foundation ? foundations : columns)[static_cast<size_t>(place.index)]);
}

bool ReadPosition(const CGameEngine& e, const ModelPiles& piles, referee::Position& out, std::string& why) {
    out.columns.assign(piles.columns.size(), {});
    out.foundations.assign(piles.foundations.size(), {});
    for (uint16_t p = 0; p < e.PileCount(); ++p) {
        referee::Place place;
        const bool mapped = piles.PlaceOf(p, place);
        if (!mapped) {
            if (e.pileStates[p].count > 0) {
                why = "pile " + std::to_string(p) + " holds cards, and the rules have no such pile";
                return false;
            }
            continue;
        }
        auto& pile = place.foundation ? out.foundations[static_cast<size_t>(place.index)] : out.columns[static_cast<size_t>(place.index)];
        for (int k = 0; k < e.pileStates[p].count; ++k) {
            const uint16_t card = e.CardAt(p, k);
            pile.push_back({e.cards[card].suit, e.cards[card].rank, e.cardStates[card].faceUp != 0});
        }
    }
    for (int p : piles.columns)
        if (p < 0) {
            why = "the columns are not numbered from 1 without a gap";
            return false;
        }
    for (int p : piles.foundations)
        if (p < 0) {
            why = "the foundations are not numbered from 1 without a gap";
            return false;
        }
    return true;
}

std::string ReplayInModel(referee::Rules rules, const uint8_t* record, size_t length, const ModelPiles& piles,
                          uint32_t number, const std::vector<Step>& steps) {
    CGameEngine e;
    if (!e.LoadGameDefinition(record, length) || !StartGame(e, number)) return "the game does not deal";
    referee::Position model, game;
    std::string why;
    if (!ReadPosition(e, piles, model, why)) return "the deal: " + why;
    if (why = referee::CheckDeal(rules, model); !why.empty()) return "the deal is not the rules' deal: " + why;
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        const std::string at = "step " + std::to_string(i + 1) + " (" + s.Text() + ")";
        referee::Move m;
        m.count = s.count;
        m.redeal = s.click && piles.stock >= 0 && s.from == piles.stock;
        if (!m.redeal && (s.click || !piles.PlaceOf(s.from, m.from) || !piles.PlaceOf(s.to, m.to)))
            return at + " has no move in the rules";
        if (why = referee::Refusal(rules, model, m); !why.empty())
            return at + ", " + referee::MoveText(m) + ", is refused by the rules: " + why;
        referee::Apply(rules, model, m);
        if (!ApplyStep(e, s, &why)) return at + " is refused by the game: " + why;
        if (!ReadPosition(e, piles, game, why)) return "after " + at + ": " + why;
        if (!(game == model))
            return "after " + at + " the game and the rules differ; the rules:\n" + referee::PositionText(model) +
                   "the game:\n" + referee::PositionText(game);
    }
    return model.Won() ? "" : "the rules do not count the line a win";
}

std::string PlayModelMoves(CGameEngine& e, const ModelPiles& piles, const std::vector<referee::Move>& moves) {
    std::string why;
    for (size_t i = 0; i < moves.size(); ++i) {
        if (moves[i].redeal && piles.stock < 0) return "move " + std::to_string(i + 1) + " redeals, and the game has no stock";
        const Step s = moves[i].redeal ? Step{true, static_cast<uint16_t>(piles.stock), 0, 0}
                                       : Step{false, piles.PileOf(moves[i].from), piles.PileOf(moves[i].to),
                                              static_cast<uint16_t>(moves[i].count)};
        if (!ApplyStep(e, s, &why))
            return "move " + std::to_string(i + 1) + ", " + referee::MoveText(moves[i]) + " (" + s.Text() +
                   "), is refused by the game: " + why;
    }
    return e.finished ? "" : "the rules' winning line does not finish the game";
}

void RefereeCheck(const GameEntry& game, const uint8_t* record, size_t length, int numbers, int wonAt,
                  const std::vector<Step>& won, std::map<int, long>& searched,
                  std::vector<std::string>& failures, std::vector<std::string>& log) {
    referee::Rules rules;
    if (!referee::RulesNamed(game.referee, rules)) {
        failures.push_back("referee: no rules named '" + game.referee + "'");
        return;
    }
    const ModelPiles piles = MapPiles(game.pileNames);
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
    int solved = 0, unsolvable = 0;
    long positions = 0;
    for (int n = 1; n <= numbers && failures.size() < before + 5; ++n) {
        const std::string deal = "referee, number " + std::to_string(n) + ": ";
        StartGame(e, static_cast<uint32_t>(n));
        referee::Position start;
        std::string why;
        if (!ReadPosition(e, piles, start, why) || !(why = referee::CheckDeal(rules, start)).empty()) {
            failures.push_back(deal + "the deal is not the rules' deal: " + why);
            continue;
        }
        const referee::Solution s = referee::Solve(rules, start, kRefereeBudget);
        positions += s.positions;
        if (s.verdict == referee::Verdict::Solved) {
            if (const std::string r = PlayModelMoves(e, piles, s.moves); !r.empty()) failures.push_back(deal + r);
            else ++solved;
        } else if (s.verdict == referee::Verdict::NoSolution) {
            ++unsolvable;
            const long winLength = SearchWinLength(e, game, n, searched);
            if (winLength >= 0)
                failures.push_back(deal + "the rules leave it no win, yet the search wins it in " +
                                   std::to_string(winLength) + " steps");
        }
    }
    log.push_back("referee (" + game.referee + "): " + std::to_string(solved) + " of " + std::to_string(numbers) +
                  " deals solved and replayed, " + std::to_string(unsolvable) +
                  " shown unsolvable and not won by the search (" + std::to_string(positions) +
                  " positions); " + (line.empty() ? "the search's win refused" : line));
}

}  // namespace corvelle::gamec
