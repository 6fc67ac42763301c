// Building a game's piles: what each pile's options come to, its deal, its
// place in the layout reference and its deal corrections.
#include <sstream>

#include "engine/game_engine.h"
#include "engine/resources.h"
#include "tools/gamec/game_compiler.h"

namespace corvelle::gamec {
namespace {

template <typename T>
void Over(std::optional<T>& a, const std::optional<T>& b) {
    if (b) a = b;
}

// Loader-side pixel value of a fan extent stored as `e` (kind 0).
int ExtentAfterLoad(int e, int fan, bool dense) {
    PileDef p{};
    p.fan = static_cast<uint8_t>(fan);
    p.fanExtent = static_cast<uint16_t>(e);
    p.extentKind = 0;
    ConvertPileToPixels(p, dense);
    return p.fanExtent;
}

}  // namespace

void Merge(PileOpts& a, const PileOpts& b) {
    Over(a.xAnchor, b.xAnchor); Over(a.yAnchor, b.yAnchor); Over(a.x, b.x); Over(a.y, b.y);
    Over(a.dx, b.dx); Over(a.dy, b.dy); Over(a.fan, b.fan); Over(a.fanMax, b.fanMax); Over(a.base, b.base);
    Over(a.attribute, b.attribute); Over(a.faceUp, b.faceUp); Over(a.acceptsDrops, b.acceptsDrops);
    Over(a.manual, b.manual); Over(a.enabled, b.enabled); Over(a.layer, b.layer);
    Over(a.cardGroup, b.cardGroup); Over(a.deal, b.deal); Over(a.dealRest, b.dealRest);
    Over(a.lockAll, b.lockAll); Over(a.topUp, b.topUp); Over(a.drop, b.drop); Over(a.pick, b.pick);
    Over(a.click, b.click); Over(a.emptyClick, b.emptyClick); Over(a.onDrop, b.onDrop);
    Over(a.place, b.place);
    if (b.line) { a.line = b.line; a.file = b.file; }
}

std::vector<int> GameCompiler::Piles(const std::string& ref, const Line& l, bool allowAny) {
    if (allowAny && ref == "any") return {kAnyPile};
    const auto it = pileIndex.find(ref);
    if (it != pileIndex.end()) return {it->second};
    std::vector<int> members;
    for (size_t i = 0; i < pileEntries.size(); ++i)
        if (pileEntries[i].group == ref) members.push_back(static_cast<int>(i));
    if (members.empty()) Fail(l, "no pile or group named '" + ref + "'");
    return members;
}

bool GameCompiler::BuildPiles(CompiledGame& out, std::vector<PileOpts>& finals) {
    GameDefinitionData& d = out.def;
    const int cw = GridCardSizeFor(dense).width, ch = GridCardSizeFor(dense).height;
    for (size_t i = 0; i < pileEntries.size(); ++i) pileIndex[pileEntries[i].name] = static_cast<int>(i);
    // Deal counts first: `rest` takes what the other piles of its card group leave.
    std::map<int, int> groupCards, groupDealt;
    for (const CardDef& c : cardDefs) groupCards[c.cardGroup]++;
    // The options as they apply to each pile; what is written nowhere is
    // reported at the game's header.
    finals.clear();
    for (const PileEntry& p : pileEntries) {
        PileOpts o;
        o.file = fileName;
        o.line = headerLine;
        if (!p.group.empty()) Merge(o, groups[p.group].opts);
        Merge(o, p.own);
        finals.push_back(o);
    }
    int restPile = -1;
    std::vector<int> deal(pileEntries.size(), 0);
    for (size_t i = 0; i < pileEntries.size(); ++i) {
        const PileOpts& o = finals[i];
        if (o.dealRest.value_or(false)) {
            if (restPile >= 0) return Fail(o.file, o.line, "only one pile can take the rest of the cards");
            restPile = static_cast<int>(i);
            continue;
        }
        if (o.deal) {
            const auto& v = *o.deal;
            if (v.size() != 1 && static_cast<int>(v.size()) != groups[pileEntries[i].group].size)
                return Fail(o.file, o.line, "group '" + pileEntries[i].group + "' deals " + std::to_string(v.size()) +
                                                " counts to " + std::to_string(groups[pileEntries[i].group].size) + " piles");
            deal[i] = static_cast<int>(v.size() == 1 ? v[0] : v[pileEntries[i].member]);
        }
        groupDealt[finals[i].cardGroup.value_or(0)] += deal[i];
    }
    if (restPile >= 0) {
        const int g = finals[restPile].cardGroup.value_or(0);
        deal[restPile] = groupCards[g] - groupDealt[g];
        if (deal[restPile] < 0) return Fail(finals[restPile].file, finals[restPile].line, "the other piles already take more cards than the deck has");
        groupDealt[g] += deal[restPile];
    }
    for (const auto& [g, n] : groupCards)
        if (groupDealt[g] != n)
            return Fail(fileName, headerLine, "the piles are dealt " + std::to_string(groupDealt[g]) + " cards but the deck of group " +
                                               std::to_string(g) + " has " + std::to_string(n));

    for (size_t i = 0; i < pileEntries.size(); ++i) {
        const PileOpts& o = finals[i];
        if (!o.x || !o.y) return Fail(o.file, o.line, "pile '" + pileEntries[i].name + "' has no position ('at X Y')");
        PileDef p{};
        p.cardGroup = static_cast<uint16_t>(o.cardGroup.value_or(0));
        const int member = pileEntries[i].member;
        const int gx = *o.x + member * o.dx.value_or(0), gy = *o.y + member * o.dy.value_or(0);
        // What is written is where the card lands: left/top edges from the
        // left/top, the centre from the centre, right/bottom edges from the
        // right/bottom. The record stores the first card's centre on the
        // reference, half a card (rounded down) past its top-left corner.
        const int xa = o.xAnchor.value_or(0), ya = o.yAnchor.value_or(0);
        p.xAnchor = static_cast<uint8_t>(xa);
        p.yAnchor = static_cast<uint8_t>(ya);
        const int left = xa == AnchorCentre ? kLayoutReference / 2 + gx - cw / 2 : xa == AnchorEnd ? kLayoutReference - gx - cw : gx;
        const int top = ya == AnchorCentre ? kLayoutReference / 2 + gy - ch / 2 : ya == AnchorEnd ? kLayoutReference - gy - ch : gy;
        p.x = static_cast<int16_t>(left + cw / 2);
        p.y = static_cast<int16_t>(top + ch / 2);
        p.fan = static_cast<uint8_t>(o.fan.value_or(FanNone));
        p.baseKind = static_cast<uint8_t>(o.base.value_or(0));
        p.dealFaceUp = static_cast<uint8_t>(o.faceUp.value_or(1));
        p.acceptsDrops = static_cast<uint8_t>(o.acceptsDrops.value_or(1));
        p.dealCount = static_cast<uint16_t>(deal[i]);
        p.pickupProgram = static_cast<uint16_t>(Program(o.pick.value_or("one"), o.file, o.line));
        p.dropProgram = static_cast<uint16_t>(Program(o.drop.value_or("never"), o.file, o.line));
        p.manualExposure = static_cast<uint8_t>(o.manual.value_or(0));
        p.enabled = static_cast<uint8_t>(o.enabled.value_or(1));
        p.drawOrder = static_cast<uint8_t>(o.layer.value_or(0));
        p.attribute = static_cast<uint16_t>(o.attribute.value_or(0));
        if (o.fanMax && p.fan != FanNone) {
            // The loader converts the extent twice; store the value whose
            // double conversion comes closest to the written length.
            const bool horizontal = p.fan == FanRight || p.fan == FanLeft;
            const int want = *o.fanMax * (horizontal ? kCardWidth : kCardHeight) / (horizontal ? cw : ch);
            int best = 1, bestDiff = 1 << 30;
            for (int e = 1; e < 2000; ++e) {
                const int diff = std::abs(ExtentAfterLoad(e, p.fan, dense) - want);
                if (diff < bestDiff) { bestDiff = diff; best = e; }
            }
            p.fanExtent = static_cast<uint16_t>(best);
        }
        d.piles.push_back(p);
        out.pileNames.push_back(pileEntries[i].name);
        // Deal corrections: face-up top cards, locks, placed cards.
        if (o.topUp) {
            if (p.dealFaceUp) return Fail(o.file, o.line, "'top-up' turns cards of a pile dealt face down");
            for (int k = std::max(0, deal[i] - *o.topUp); k < deal[i]; ++k)
                d.flips.push_back({static_cast<uint16_t>(i), static_cast<int16_t>(k)});
        }
        if (o.lockAll.value_or(false))
            for (int k = 0; k < deal[i]; ++k) d.locks.push_back({static_cast<uint16_t>(i), static_cast<int16_t>(k)});
        if (o.place) {
            const auto& v = *o.place;
            const int groupSize = pileEntries[i].group.empty() ? 1 : groups[pileEntries[i].group].size;
            if (static_cast<int>(v.size()) != groupSize) return Fail(o.file, o.line, "'place' names one card per pile");
            const std::string card = v.size() == 1 ? v[0] : v[member];
            std::vector<uint32_t> sr;
            if (!ParseTestCards(card, sr) || sr.size() != 2 || sr[0] > 4) return Fail(o.file, o.line, "'" + card + "' is no card");
            int found = -1;
            for (size_t c = 0; c < d.cards.size() && found < 0; ++c)
                if (d.cards[c].suit == sr[0] && d.cards[c].rank == sr[1] && d.cards[c].cardGroup == p.cardGroup &&
                    std::none_of(d.placements.begin(), d.placements.end(), [&](const CardPlacement& pl) { return pl.card == c; }))
                    found = static_cast<int>(c);
            if (found < 0) return Fail(o.file, o.line, "the deck has no free card " + card + " for this pile");
            if (deal[i] < 1) return Fail(o.file, o.line, "'place' needs a pile that is dealt a card");
            d.placements.push_back({static_cast<uint16_t>(i), static_cast<uint16_t>(found), 0});
        }
    }
    return ok;
}

}  // namespace corvelle::gamec
