// Hand-made positions for the rules model's tests: cards written as the
// project writes them, piles bottom card first.
#pragma once

#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/records.h"
#include "tools/referee/rules_model.h"

namespace corvelle::referee {

// "5C 6d" bottom first; a lower-case suit lies face down.
inline std::vector<Card> Cards(const std::string& text) {
    std::vector<Card> out;
    std::istringstream in(text);
    for (std::string w; in >> w;) {
        const bool up = std::isupper(static_cast<unsigned char>(w[1])) != 0;
        out.push_back({static_cast<uint8_t>(corvelle::SuitOfLetter(w[1])),
                       static_cast<uint8_t>(corvelle::RankOfLetter(w[0])), up});
    }
    return out;
}

inline Position Make(const std::vector<std::string>& columns, const std::vector<std::string>& foundations = {"", "", "", ""}) {
    Position p;
    for (const std::string& c : columns) p.columns.push_back(Cards(c));
    for (const std::string& f : foundations) p.foundations.push_back(Cards(f));
    return p;
}

inline Move ToColumn(int from, int to, int count = 1) { return CardsMove({Role::Column, from}, {Role::Column, to}, count); }
inline Move ToFoundation(int from, int f) { return CardsMove({Role::Column, from}, {Role::Foundation, f}); }

// The cards of one suit from rank `first` up to `last` ("AS 2S .. KS" for a
// whole suit).
inline std::string Suit(char suit, unsigned first = 1, unsigned last = 13) {
    std::string s;
    for (unsigned rank = first; rank <= last; ++rank) s += std::string(s.empty() ? "" : " ") + corvelle::RankLetter(rank) + suit;
    return s;
}

// The rules of a referee line, which must read.
inline Rules Line(const std::string& line) {
    Rules r;
    std::string error;
    if (!ParseRules(line, r, error)) throw std::runtime_error(line + ": " + error);
    return r;
}

}  // namespace corvelle::referee
