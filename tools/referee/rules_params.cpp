// The families' presets and the referee line's parameters.
#include <algorithm>
#include <cctype>
#include <functional>
#include <sstream>

#include "engine/records.h"
#include "tools/referee/rules_model.h"

namespace corvelle::referee {
namespace {

constexpr int kAll = 1000;   // "up=all": more face-up cards than any pile holds

struct Named {
    const char* word;
    Family family;
};
constexpr Named kFamilies[] = {
    {"bakers-dozen", Family::BakersDozen}, {"fan", Family::Fan},         {"yukon", Family::Yukon},
    {"cruel", Family::Cruel},              {"klondike", Family::Klondike}, {"spider", Family::Spider},
    {"canfield", Family::Canfield},        {"forty-thieves", Family::FortyThieves},
    {"golf", Family::Golf},                {"pyramid", Family::Pyramid},
};

Rules MakePreset(Family family) {
    Rules r;
    r.family = family;
    switch (family) {
        case Family::BakersDozen:
            r.columns = 13;
            r.deal = {4};
            r.kingsUnder = true;
            r.build = r.runs = SuitRule::Any;
            r.lift = Lift::One;
            r.space = Space::None;
            break;
        case Family::Fan:
            r.columns = 18;
            r.deal.assign(17, 3);
            r.deal.push_back(1);
            r.build = r.runs = SuitRule::Suit;
            r.lift = Lift::One;
            break;
        case Family::Yukon:
            r.columns = 7;
            r.deal = {1, 6, 7, 8, 9, 10, 11};
            r.up = {1, 5, 5, 5, 5, 5, 5};
            r.lift = Lift::Group;
            break;
        case Family::Cruel:
            r.columns = 12;
            r.deal = {4};
            r.build = r.runs = SuitRule::Suit;
            r.lift = Lift::One;
            r.space = Space::None;
            r.placed = true;
            r.stock = Stock::Regather;
            break;
        case Family::Klondike:
            r.columns = 7;
            r.deal = {1, 2, 3, 4, 5, 6, 7};
            r.up = {1};
            r.stock = Stock::Waste;
            r.redeals = -1;
            r.fromFoundation = true;
            break;
        case Family::Spider:
            r.decks = 2;
            r.columns = 10;
            r.deal = {6, 6, 6, 6, 5, 5, 5, 5, 5, 5};
            r.up = {1};
            r.build = SuitRule::Any;
            r.runs = SuitRule::Suit;
            r.space = Space::Any;
            r.home = Home::Runs;
            r.stock = Stock::Row;
            r.rowOnEmpty = RowOnEmpty::Refuse;
            break;
        case Family::Canfield:
            r.columns = 4;
            r.deal = {1};
            r.wrap = true;
            r.lift = Lift::Whole;
            r.space = Space::Any;
            r.base = Base::Dealt;
            r.reserves = 1;
            r.reserveDeal = {13};
            r.fill = Fill::Reserve;
            r.stock = Stock::Waste;
            r.draw = 3;
            r.redeals = -1;
            break;
        case Family::FortyThieves:
            r.decks = 2;
            r.columns = 10;
            r.deal = {4};
            r.build = r.runs = SuitRule::Suit;
            r.lift = Lift::One;
            r.space = Space::Any;
            r.stock = Stock::Waste;
            break;
        case Family::Golf:
            r.columns = 7;
            r.deal = {5};
            r.wasteDeal = 1;
            r.stock = Stock::Waste;
            break;
        case Family::Pyramid:
            r.layout = Layout::Pyramid;
            r.stock = Stock::Waste;
            break;
    }
    if (r.up.empty()) r.up = {kAll};
    r.foundations = r.GetPackSize() / 13;
    return r;
}

bool Number(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < low || v > high) return false;
    out = v;
    return true;
}

// "4", "1..7", "6,6,6,6,5,5" or a mix: one count per pile, or one count
// for every pile.
bool List(const std::string& text, int high, std::vector<int>& out) {
    out.clear();
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        const size_t dots = item.find("..");
        int a = 0, b = 0;
        if (dots == std::string::npos) {
            if (!Number(item, 0, high, a)) return false;
            out.push_back(a);
            continue;
        }
        if (!Number(item.substr(0, dots), 0, high, a) || !Number(item.substr(dots + 2), 0, high, b)) return false;
        for (int v = a;; v += a < b ? 1 : -1) {
            out.push_back(v);
            if (v == b) break;
        }
        if (out.size() > 60) return false;
    }
    return !out.empty() && !text.empty() && text.back() != ',' && out.size() <= 60;
}

bool YesNo(const std::string& text, bool& out) {
    if (text != "yes" && text != "no") return false;
    out = text == "yes";
    return true;
}

bool SuitRuleNamed(const std::string& text, bool allowNone, SuitRule& out) {
    static const std::pair<const char*, SuitRule> names[] = {{"alt", SuitRule::Alt},       {"suit", SuitRule::Suit},
                                                              {"colour", SuitRule::Colour}, {"other", SuitRule::Other},
                                                              {"any", SuitRule::Any},       {"none", SuitRule::None}};
    for (const auto& [word, rule] : names)
        if (text == word && (allowNone || rule != SuitRule::None)) {
            out = rule;
            return true;
        }
    return false;
}

template <typename E>
bool OneOf(const std::string& text, std::initializer_list<std::pair<const char*, E>> names, E& out) {
    for (const auto& [word, value] : names)
        if (text == word) {
            out = value;
            return true;
        }
    return false;
}

bool GroupName(const std::string& text) {
    if (text.empty() || text.size() > 40 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
    return true;
}

// One parameter: the kinds of game it applies to, the values it takes (for
// the message when a value is refused) and how it sets the rules.
struct Parameter {
    const char* name;
    bool building, golf, pyramid;
    const char* values;
    std::function<bool(const std::string&, Rules&)> set;
};

const std::vector<Parameter>& Parameters() {
    static const std::vector<Parameter> table = {
        {"decks", true, true, true, "1..8", [](const std::string& v, Rules& r) { return Number(v, 1, 8, r.decks); }},
        {"suits", true, true, true, "the letters of up to four different suits (CSDH)",
         [](const std::string& v, Rules& r) {
             if (v.empty() || v.size() > 4) return false;
             for (size_t i = 0; i < v.size(); ++i)
                 if (SuitOfLetter(v[i]) == 0 || v.find(v[i]) != i) return false;
             r.suits = v;
             return true;
         }},
        {"tableau", true, true, true, "a pile group's name",
         [](const std::string& v, Rules& r) { return GroupName(v) && (r.tableauName = v, true); }},
        {"reserve", true, false, true, "a pile group's name",
         [](const std::string& v, Rules& r) { return GroupName(v) && (r.reserveName = v, true); }},
        {"waste", true, true, true, "a pile's name", [](const std::string& v, Rules& r) { return GroupName(v) && (r.wasteName = v, true); }},
        {"columns", true, true, true, "1..60", [](const std::string& v, Rules& r) { return Number(v, 1, 60, r.columns); }},
        {"deal", true, true, true, "a count per column, e.g. 4, 1..7 or 6,6,5,5",
         [](const std::string& v, Rules& r) { return List(v, 104, r.deal); }},
        {"up", true, true, true, "all or a count per column",
         [](const std::string& v, Rules& r) { return v == "all" ? (r.up = {kAll}, true) : List(v, 104, r.up); }},
        {"reserves", true, false, true, "0..60", [](const std::string& v, Rules& r) { return Number(v, 0, 60, r.reserves); }},
        {"reserve-deal", true, false, true, "a count per reserve pile",
         [](const std::string& v, Rules& r) { return List(v, 104, r.reserveDeal); }},
        {"reserve-up", true, false, true, "all or a count per reserve pile",
         [](const std::string& v, Rules& r) { return v == "all" ? (r.reserveUp = {kAll}, true) : List(v, 104, r.reserveUp); }},
        {"reserve-last", true, false, false, "up or down",
         [](const std::string& v, Rules& r) { return (v == "up" || v == "down") && (r.reserveLastUp = v == "up", true); }},
        {"waste-deal", true, true, false, "0..104", [](const std::string& v, Rules& r) { return Number(v, 0, 104, r.wasteDeal); }},
        {"build", true, false, false, "alt, suit, colour, other, any or none",
         [](const std::string& v, Rules& r) { return SuitRuleNamed(v, true, r.build); }},
        {"runs", true, false, false, "alt, suit, colour, other or any",
         [](const std::string& v, Rules& r) { return SuitRuleNamed(v, false, r.runs); }},
        {"wrap", true, true, false, "yes, no, unless-ace (not where the dealt base is the Ace) or ace-on-king (an Ace on a King)",
         [](const std::string& v, Rules& r) {
             r.wrapUnlessAceBase = v == "unless-ace";
             r.aceOnKing = v == "ace-on-king";
             if (!r.wrapUnlessAceBase && !r.aceOnKing) return YesNo(v, r.wrap);
             r.wrap = r.wrapUnlessAceBase;   // an Ace on a King is not the King on an Ace
             return true;
         }},
        {"rank", true, false, false, "down or same",
         [](const std::string& v, Rules& r) { return (v == "down" || v == "same") && (r.sameRank = v == "same", true); }},
        {"dead-kings", false, true, false, "yes or no", [](const std::string& v, Rules& r) { return YesNo(v, r.deadKings); }},
        {"aces", true, false, false, "low or high",
         [](const std::string& v, Rules& r) { return (v == "low" || v == "high") && (r.acesHigh = v == "high", true); }},
        {"move", true, false, false, "one, run, whole, face-up or group",
         [](const std::string& v, Rules& r) {
             return OneOf<Lift>(v, {{"one", Lift::One}, {"run", Lift::Run}, {"whole", Lift::Whole}, {"face-up", Lift::FaceUp},
                                    {"group", Lift::Group}},
                                r.lift);
         }},
        {"space", true, false, false, "any, king, none or below-base",
         [](const std::string& v, Rules& r) {
             return OneOf<Space>(v, {{"any", Space::Any}, {"king", Space::King}, {"none", Space::None}, {"below-base", Space::BelowBase}},
                                 r.space);
         }},
        {"space-from", true, false, false, "any, waste, reserve-then-waste or reserve-then-waste-or-stock",
         [](const std::string& v, Rules& r) {
             return OneOf<SpaceFrom>(v, {{"any", SpaceFrom::Any}, {"waste", SpaceFrom::Waste},
                                         {"reserve-then-waste", SpaceFrom::ReserveThenWaste},
                                         {"reserve-then-waste-or-stock", SpaceFrom::ReserveThenWasteOrStock}},
                                     r.spaceFrom);
         }},
        {"fill", true, false, true, "reserve, stock, waste (the stock's card while the waste is empty) or none",
         [](const std::string& v, Rules& r) {
             return OneOf<Fill>(v, {{"reserve", Fill::Reserve}, {"stock", Fill::Stock}, {"waste", Fill::Waste}, {"none", Fill::None}},
                                r.fill);
         }},
        {"foundations", true, false, false, "1..32", [](const std::string& v, Rules& r) { return Number(v, 1, 32, r.foundations); }},
        {"foundation", true, false, false, "cards, runs or sets",
         [](const std::string& v, Rules& r) {
             return OneOf<Home>(v, {{"cards", Home::Cards}, {"runs", Home::Runs}, {"sets", Home::Sets}}, r.home);
         }},
        {"home-build", true, false, false, "suit, alt, colour, other or any",
         [](const std::string& v, Rules& r) { return SuitRuleNamed(v, false, r.homeBuild); }},
        {"base", true, false, false, "a rank (A, 2..9, T, J, Q, K), dealt or chosen",
         [](const std::string& v, Rules& r) {
             if (v == "dealt" || v == "chosen") {
                 r.base = v == "dealt" ? Base::Dealt : Base::Chosen;
                 return true;
             }
             if (v.size() != 1 || RankOfLetter(v[0]) == 0) return false;
             r.base = Base::Rank;
             r.baseRank = static_cast<int>(RankOfLetter(v[0]));
             return true;
         }},
        {"placed", true, false, false, "yes or no", [](const std::string& v, Rules& r) { return YesNo(v, r.placed); }},
        {"from-foundation", true, false, false, "yes or no", [](const std::string& v, Rules& r) { return YesNo(v, r.fromFoundation); }},
        {"stock", true, true, true, "none, waste, row, reserves or regather",
         [](const std::string& v, Rules& r) {
             return OneOf<Stock>(v, {{"none", Stock::None}, {"waste", Stock::Waste}, {"row", Stock::Row}, {"reserves", Stock::Reserves},
                                     {"regather", Stock::Regather}},
                                 r.stock);
         }},
        {"draw", true, false, true, "1..52", [](const std::string& v, Rules& r) { return Number(v, 1, 52, r.draw); }},
        {"redeals", true, false, true, "0..100 or unlimited",
         [](const std::string& v, Rules& r) { return v == "unlimited" ? (r.redeals = -1, true) : Number(v, 0, 100, r.redeals); }},
        {"deal-on-empty", true, false, false, "yes, no or skip",
         [](const std::string& v, Rules& r) {
             return OneOf<RowOnEmpty>(v, {{"yes", RowOnEmpty::Deal}, {"no", RowOnEmpty::Refuse}, {"skip", RowOnEmpty::Skip}}, r.rowOnEmpty);
         }},
        {"layout", false, true, true, "columns, peaks or pyramid",
         [](const std::string& v, Rules& r) {
             return OneOf<Layout>(v, {{"columns", Layout::Columns}, {"peaks", Layout::Peaks}, {"pyramid", Layout::Pyramid}}, r.layout);
         }},
        {"cross-checks", true, true, true, "0..100",
         [](const std::string& v, Rules& r) { return Number(v, 0, 100, r.crossChecks); }},
        {"budget", true, true, true, "1..10000000",
         [](const std::string& v, Rules& r) {
             int b = 0;
             return Number(v, 1, 10000000, b) && (r.budget = b, true);
         }},
    };
    return table;
}

// A per-pile list of `piles` counts from a list of one count or of one per pile.
bool Spread(std::vector<int>& list, int piles) {
    if (list.size() == 1) list.assign(static_cast<size_t>(piles), list[0]);
    return list.size() == static_cast<size_t>(piles);
}

// The rules' own consistency once every parameter is read.
std::string Validate(Rules& r, const std::vector<std::string>& named) {
    const auto given = [&](const char* name) { return std::find(named.begin(), named.end(), name) != named.end(); };
    const Kind kind = r.GetGameKind();
    if (!given("foundations")) r.foundations = r.home == Home::Sets ? 1 : r.GetPackSize() / 13;
    // A run that moves as one follows the build unless the rules say otherwise.
    if (given("build") && !given("runs") && r.build != SuitRule::None) r.runs = r.build;
    if (r.aceOnKing && kind != Kind::Building) return "'wrap=ace-on-king' is for games that build on columns";
    // Tri Peaks' peaks and the pyramid are 28 cards; the peaks' three upper
    // rows lie face down.
    if (kind != Kind::Building && r.layout != Layout::Columns) {
        if (given("columns") || given("deal") || given("up"))
            return r.layout == Layout::Peaks ? "the peaks are 28 cards, three rows face down over one face up"
                                             : "the pyramid is 28 face-up cards in seven rows";
        r.columns = 28;
        r.deal = {1};
        r.up = {kAll};
        if (r.layout == Layout::Peaks) {
            r.up.assign(18, 0);
            r.up.resize(28, 1);
        }
    }
    if (r.reserves == 0 && (given("reserve-deal") || given("reserve-up"))) return "'reserve-deal' and 'reserve-up' need reserves";
    if (r.reserves > 0 && r.reserveDeal.empty()) r.reserveDeal = {1};
    if (r.reserveUp.empty()) r.reserveUp = {kAll};
    if (!Spread(r.deal, r.columns)) return "'deal' gives " + std::to_string(r.deal.size()) + " counts for " + std::to_string(r.columns) + " columns";
    if (!Spread(r.up, r.columns)) return "'up' gives " + std::to_string(r.up.size()) + " counts for " + std::to_string(r.columns) + " columns";
    if (r.reserves == 0) r.reserveDeal.clear(), r.reserveUp.clear();
    else if (!Spread(r.reserveDeal, r.reserves) || !Spread(r.reserveUp, r.reserves))
        return "'reserve-deal' and 'reserve-up' give one count or one per reserve pile";
    // What the deal gives out, and what is left for the stock.
    int dealt = r.wasteDeal;
    for (int n : r.deal) dealt += n;
    for (int n : r.reserveDeal) dealt += n;
    if (r.placed) dealt += r.foundations;
    if (r.base == Base::Dealt) dealt += 1;
    if (dealt > r.GetPackSize()) return "the deal gives out " + std::to_string(dealt) + " cards, the pack holds " + std::to_string(r.GetPackSize());
    if (dealt < r.GetPackSize() && (r.stock == Stock::None || r.stock == Stock::Regather) && r.fill != Fill::Stock)
        return "the deal leaves " + std::to_string(r.GetPackSize() - dealt) + " cards over, and the rules have no stock";
    if (kind == Kind::Building) {
        if (r.home == Home::Sets ? r.foundations != 1 : r.foundations * 13 != r.GetPackSize())
            return std::to_string(r.foundations) + " foundations do not hold the pack of " + std::to_string(r.GetPackSize()) + " cards";
        if (r.wrap && r.acesHigh) return "'wrap=yes' and 'aces=high' contradict each other";
        if (r.aceOnKing && (r.acesHigh || r.sameRank)) return "'wrap=ace-on-king' builds down with Aces low";
        if (r.wrapUnlessAceBase && r.base != Base::Dealt) return "'wrap=unless-ace' needs a dealt base";
        if (r.base != Base::Rank && (r.placed || r.fromFoundation)) return "a dealt or chosen base is neither placed nor taken back";
        if (r.base == Base::Chosen && r.reserves == 0) return "'base=chosen' takes the base from a reserve: the rules need reserves";
        if (r.home != Home::Cards && (r.base != Base::Rank || r.baseRank != 1 || r.placed || r.fromFoundation || r.homeBuild != SuitRule::Suit))
            return std::string("'foundation=") + (r.home == Home::Runs ? "runs" : "sets") +
                   "' takes whole runs or ranks home: it needs base=A, placed=no, from-foundation=no and home-build=suit";
        if (r.fill == Fill::Reserve && r.reserves != 1) return "'fill=reserve' fills the columns from one reserve pile";
        if (r.fill == Fill::Waste && r.stock != Stock::Waste) return "'fill=waste' names the waste: the rules need 'stock=waste'";
        if (r.spaceFrom != SpaceFrom::Any && r.stock != Stock::Waste) return "'space-from' names the waste: the rules need 'stock=waste'";
        if ((r.spaceFrom == SpaceFrom::ReserveThenWaste || r.spaceFrom == SpaceFrom::ReserveThenWasteOrStock) && r.reserves == 0)
            return std::string("'space-from=") +
                   (r.spaceFrom == SpaceFrom::ReserveThenWaste ? "reserve-then-waste" : "reserve-then-waste-or-stock") +
                   "' needs reserves";
        if (r.stock == Stock::Reserves && r.reserves == 0) return "'stock=reserves' needs reserves";
    } else if (r.stock != Stock::Waste && r.stock != Stock::None && !(kind == Kind::Pyramid && r.stock == Stock::Row)) {
        return kind == Kind::Golf ? "Golf turns its stock onto the waste ('stock=waste') or has none"
                                  : "Pyramid turns its stock onto the waste ('stock=waste'), deals it in rows ('stock=row') or has none";
    }
    if (r.stock != Stock::Waste && (given("draw") || given("redeals"))) return "'draw' and 'redeals' need 'stock=waste'";
    if (r.stock != Stock::Row && given("deal-on-empty")) return "'deal-on-empty' needs 'stock=row'";
    return "";
}

// A family's usual rules, every list spread over its piles.
Rules Complete(Family family) {
    Rules r = MakePreset(family);
    Validate(r, {});
    return r;
}

}  // namespace

const Rules Rules::BakersDozen = Complete(Family::BakersDozen);
const Rules Rules::Fan = Complete(Family::Fan);
const Rules Rules::Yukon = Complete(Family::Yukon);
const Rules Rules::Cruel = Complete(Family::Cruel);

Kind Rules::GetGameKind() const {
    return family == Family::Golf ? Kind::Golf : family == Family::Pyramid ? Kind::Pyramid : Kind::Building;
}

bool Rules::Preset(const std::string& word, Rules& rules) {
    for (const Named& n : kFamilies)
        if (word == n.word) {
            rules = Complete(n.family);
            return true;
        }
    return false;
}

bool RulesNamed(const std::string& word, Rules& rules) { return Rules::Preset(word, rules); }

const char* FamilyName(Family family) {
    for (const Named& n : kFamilies)
        if (n.family == family) return n.word;
    return "";
}

const char* RulesName(const Rules& rules) { return FamilyName(rules.family); }

bool ParseRules(const std::string& line, Rules& rules, std::string& error) {
    std::istringstream in(line);
    std::string word;
    const Named* family = nullptr;
    if (in >> word)
        for (const Named& n : kFamilies)
            if (word == n.word) family = &n;
    if (!family) {
        std::string families;
        for (const Named& n : kFamilies) families += std::string(families.empty() ? "" : ", ") + n.word;
        error = "no rules named '" + word + "' (the rules: " + families + ")";
        return false;
    }
    // The preset's lists stay as written until the parameters are read, so
    // that a count of one per pile follows a changed number of piles.
    rules = MakePreset(family->family);
    const char* kindName = rules.GetGameKind() == Kind::Golf ? "golf" : rules.GetGameKind() == Kind::Pyramid ? "pyramid" : "building";
    std::vector<std::string> named;
    for (std::string item; in >> item;) {
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq), value = eq == std::string::npos ? "" : item.substr(eq + 1);
        const Parameter* p = nullptr;
        for (const Parameter& q : Parameters())
            if (name == q.name) p = &q;
        if (!p) {
            error = "unknown parameter '" + name + "'";
            return false;
        }
        if (eq == std::string::npos) {
            error = "'" + name + "' takes a value: " + name + "=VALUE";
            return false;
        }
        const bool applies = rules.GetGameKind() == Kind::Golf ? p->golf : rules.GetGameKind() == Kind::Pyramid ? p->pyramid : p->building;
        if (!applies) {
            error = "'" + name + "' does not apply to the " + kindName + " rules of " + word;
            return false;
        }
        if (std::find(named.begin(), named.end(), name) != named.end()) {
            error = "'" + name + "' is given twice";
            return false;
        }
        if (!p->set(value, rules)) {
            error = "'" + name + "=" + value + "': " + name + " takes " + p->values;
            return false;
        }
        named.push_back(name);
    }
    error = Validate(rules, named);
    return error.empty();
}

}  // namespace corvelle::referee
