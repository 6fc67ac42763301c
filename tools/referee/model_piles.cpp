#include "tools/referee/model_piles.h"

namespace corvelle::referee {
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

// "" when the group holds exactly the piles 1..`want`, else what is wrong.
std::string Complete(std::vector<int>& group, int want, const std::string& prefix) {
    const std::string range = prefix + "1.." + prefix + std::to_string(want);
    if (group.size() > static_cast<size_t>(want))
        return "the rules have " + range + ", and the game has " + prefix + std::to_string(group.size());
    group.resize(static_cast<size_t>(want), -1);
    for (size_t k = 0; k < group.size(); ++k)
        if (group[k] < 0) return "the rules need the piles " + range + ", and the game has no " + prefix + std::to_string(k + 1);
    return "";
}

}  // namespace

bool ModelPiles::PlaceOf(size_t pile, Place& place) const {
    const int p = static_cast<int>(pile);
    for (auto [group, role] : {std::pair{&columns, Role::Column}, {&foundations, Role::Foundation}, {&reserves, Role::Reserve}})
        for (size_t k = 0; k < group->size(); ++k)
            if ((*group)[k] == p) {
                place = {role, static_cast<int>(k)};
                return true;
            }
    for (auto [single, role] : {std::pair{stock, Role::Stock}, {waste, Role::Waste}, {discard, Role::Discard}})
        if (single == p) {
            place = {role, 0};
            return true;
        }
    return false;
}

int ModelPiles::PileOf(const Place& place) const {
    const auto at = [&](const std::vector<int>& group) {
        return place.index >= 0 && static_cast<size_t>(place.index) < group.size() ? group[static_cast<size_t>(place.index)] : -1;
    };
    switch (place.role) {
        case Role::Column: return at(columns);
        case Role::Foundation: return at(foundations);
        case Role::Reserve: return at(reserves);
        case Role::Stock: return stock;
        case Role::Waste: return waste;
        case Role::Discard: return discard;
    }
    return -1;
}

std::string MapPiles(const Rules& rules, const std::vector<std::string>& pileNames, ModelPiles& out) {
    out = ModelPiles{};
    for (size_t p = 0; p < pileNames.size(); ++p) {
        const std::string& name = pileNames[p];
        const int pile = static_cast<int>(p);
        if (name == "stock") out.stock = pile;
        if (name == rules.wasteName) out.waste = pile;
        if (name == "discard") out.discard = pile;
        if (name == rules.reserveName) out.reserves.assign(1, pile);
        if (name == "foundation" && rules.GetGameKind() == Kind::Building) out.foundations.assign(1, pile);
        for (auto [group, prefix] : {std::pair{&out.columns, &rules.tableauName}, {&out.foundations, nullptr}, {&out.reserves, &rules.reserveName}}) {
            const int k = Member(name, prefix ? *prefix : std::string("foundation"));
            if (k < 1) continue;
            if (group->size() < static_cast<size_t>(k)) group->resize(static_cast<size_t>(k), -1);
            (*group)[static_cast<size_t>(k - 1)] = pile;
        }
    }
    const bool building = rules.GetGameKind() == Kind::Building;
    if (std::string why = Complete(out.columns, rules.columns, rules.tableauName); !why.empty()) return why;
    if (std::string why = Complete(out.foundations, building ? rules.foundations : 0, "foundation"); !why.empty()) return why;
    if (std::string why = Complete(out.reserves, rules.reserves, rules.reserveName); !why.empty()) return why;
    if ((rules.stock != Stock::None || rules.fill == Fill::Stock || rules.fill == Fill::Waste) && out.stock < 0) return "the rules need a pile named stock";
    if ((rules.stock == Stock::Waste || rules.wasteDeal > 0 || rules.GetGameKind() == Kind::Golf) && out.waste < 0)
        return "the rules need a pile named " + rules.wasteName;
    if (rules.GetGameKind() == Kind::Pyramid && out.discard < 0) return "the rules need a pile named discard";
    return "";
}

}  // namespace corvelle::referee
