// The texts the side panels show, made from the engine's and the records'
// fields: the rules text as the rich-text control takes it, a game's name,
// the statistics control's values and the best-times entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvelle {

// The rules text as the rich-text control takes it: UTF-8 converted to
// UTF-16, every line feed written as "<br>". Sized from the input.
std::u16string RulesMarkup(const char* utf8);
// A game name from the engine's fixed field (UTF-8, ended by 0 or by the
// field's end).
std::u16string GameNameText(const char* utf8, size_t fieldSize);

// The five values of the statistics control: played, won, win rate, total
// time and average time.
std::array<std::u16string, 5> StatisticsValues(uint32_t played, uint32_t won, uint32_t totalSeconds);
// A best-times entry: its name (at most 15 units, up to its first 0) and
// time, both "---" for an empty entry.
std::u16string BestTimeNameText(const char16_t* name, uint32_t seconds);
std::u16string BestTimeText(uint32_t seconds);

}  // namespace corvelle
