#include "field_compare.h"

#include <sstream>

namespace corvelle::test {

std::string FieldDifference(const FieldLayout& got, const FieldLayout& want) {
    std::ostringstream out;
    if (got.piles.size() != want.piles.size()) {
        out << got.piles.size() << " piles instead of " << want.piles.size();
        return out.str();
    }
    for (size_t p = 0; p < got.piles.size(); ++p) {
        const FieldPile& g = got.piles[p];
        const FieldPile& w = want.piles[p];
        if (g.cards.size() != w.cards.size()) {
            out << "pile " << p << ": " << g.cards.size() << " cards instead of " << w.cards.size();
            return out.str();
        }
        if (g.visible != w.visible || g.baseValue != w.baseValue || g.baseSuit != w.baseSuit) {
            out << "pile " << p << ": visible/base " << int{g.visible} << "/" << g.baseValue << "/" << g.baseSuit
                << " instead of " << int{w.visible} << "/" << w.baseValue << "/" << w.baseSuit;
            return out.str();
        }
        for (size_t i = 0; i < g.cards.size(); ++i) {
            const FieldCard& a = g.cards[i];
            const FieldCard& b = w.cards[i];
            if (a.card != b.card || a.faceUp != b.faceUp || a.suit != b.suit || a.rank != b.rank) {
                out << "pile " << p << " index " << i << ": card " << a.card << (a.faceUp ? " up" : " down")
                    << " instead of " << b.card << (b.faceUp ? " up" : " down");
                return out.str();
            }
        }
    }
    return "";
}

std::string FieldDifferenceFromEngine(const FieldLayout& field, const CGameEngine& engine) {
    FieldLayout fresh;
    if (!BuildFieldLayout(engine, fresh)) return "the engine's cards do not lie in their piles";
    return FieldDifference(field, fresh);
}

}  // namespace corvelle::test
