// The side panels' texts; see panel_texts.h.
#include "panels/panel_texts.h"

#include "engine/registry.h"
#include "engine/statistics.h"
#include "logic/game_clock.h"

namespace corvelle {

std::u16string RulesMarkup(const char* utf8) {
    std::string marked;
    for (const char* p = utf8; p != nullptr && *p != 0; ++p) {
        if (*p == '\n') {
            marked += "<br>";
        } else {
            marked += *p;
        }
    }
    return Utf8ToUtf16(marked.c_str(), marked.size());
}

std::u16string GameNameText(const char* utf8, size_t fieldSize) {
    size_t length = 0;
    while (length < fieldSize && utf8[length] != 0) ++length;
    return Utf8ToUtf16(utf8, length);
}

namespace {

std::u16string Decimal(uint32_t value) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return text;
}

}  // namespace

std::array<std::u16string, 5> StatisticsValues(uint32_t played, uint32_t won, uint32_t totalSeconds) {
    const uint32_t rate = played > 0 ? static_cast<uint32_t>(uint64_t{won} * 100 / played) : 0;
    const uint32_t average = played > 0 ? totalSeconds / played : 0;
    return {Decimal(played), Decimal(won), Decimal(rate) + u"%", GameTimeText(totalSeconds, false, 0),
            GameTimeText(average, false, 0)};
}

std::u16string BestTimeNameText(const char16_t* name, uint32_t seconds) {
    if (seconds == 0) return u"---";
    size_t length = 0;
    while (length < kBestTimeNameLength && name[length] != 0) ++length;
    return std::u16string(name, length);
}

std::u16string BestTimeText(uint32_t seconds) {
    return seconds == 0 ? std::u16string(u"---") : GameTimeText(seconds, false, 0);
}

}  // namespace corvelle
