#include "logic/command_bar_layout.h"

#include <algorithm>

namespace corvelle {

int BarCommandIndex(uint32_t command) {
    return command >= kFirstBarCommand && command < kFirstBarCommand + kCommandCount
               ? static_cast<int>(command - kFirstBarCommand)
               : kBarSeparator;
}

std::vector<CommandBarStep> CommandBarRestoreSteps(uint8_t count,
                                                   const std::array<uint8_t, kCommandCount>& positions) {
    std::vector<CommandBarStep> steps;
    // Where each command is now; the bar starts with them in command order.
    std::array<int, kCommandCount> at{};
    for (size_t c = 0; c < kCommandCount; ++c)
        at[c] = static_cast<int>(c);
    int items = static_cast<int>(kCommandCount);
    for (int p = 0; p < count; ++p) {
        bool named = false;
        for (size_t c = 0; c < kCommandCount; ++c) {
            if (positions[c] != p)
                continue;
            named = true;
            if (at[c] == p)
                break;
            // Every place from p up to the command's own moves on by one.
            const int from = at[c];
            steps.push_back({CommandBarStep::kMove, from, p});
            for (int& k : at)
                if (k >= p && k < from)
                    ++k;
            at[c] = p;
        }
        if (!named) {
            steps.push_back({CommandBarStep::kInsertSeparator, 0, p});
            for (int& k : at)
                if (k >= p)
                    ++k;
            ++items;
        }
    }
    for (; items > count; --items)
        steps.push_back({CommandBarStep::kDelete, 0, count});
    return steps;
}

void ApplyCommandBarSteps(std::vector<int>& items, const std::vector<CommandBarStep>& steps) {
    for (const CommandBarStep& step : steps) {
        switch (step.kind) {
        case CommandBarStep::kMove: {
            if (step.from < 0 || step.from >= static_cast<int>(items.size()) || step.to < 0 ||
                step.to >= static_cast<int>(items.size()))
                break;
            const int item = items[static_cast<size_t>(step.from)];
            items.erase(items.begin() + step.from);
            items.insert(items.begin() + step.to, item);
            break;
        }
        case CommandBarStep::kInsertSeparator:
            if (step.to >= 0 && step.to <= static_cast<int>(items.size()))
                items.insert(items.begin() + step.to, kBarSeparator);
            break;
        case CommandBarStep::kDelete:
            if (step.to >= 0 && step.to < static_cast<int>(items.size()))
                items.erase(items.begin() + step.to);
            break;
        }
    }
}

std::vector<int> RestoreCommandBarLayout(uint8_t count, const std::array<uint8_t, kCommandCount>& positions) {
    std::vector<int> items;
    for (size_t c = 0; c < kCommandCount; ++c)
        items.push_back(static_cast<int>(c));
    ApplyCommandBarSteps(items, CommandBarRestoreSteps(count, positions));
    return items;
}

CommandBarLayout StoreCommandBarLayout(const std::vector<int>& items) {
    CommandBarLayout layout;
    layout.positions.fill(kNotInCommandBar);
    layout.count = static_cast<uint8_t>(std::min(items.size(), kMaxBarItems));
    for (size_t i = 0; i < layout.count; ++i) {
        const int item = items[i];
        if (item >= 0 && item < static_cast<int>(kCommandCount))
            layout.positions[static_cast<size_t>(item)] = static_cast<uint8_t>(i);
    }
    return layout;
}

std::vector<int> FitCommandBar(std::vector<int> items) {
    const auto separatorAt = [&](size_t i) { return items[i] == kBarSeparator; };
    for (size_t i = items.size(); items.size() > kMaxCommandBarItems && i-- > 1;)
        if (separatorAt(i) && separatorAt(i - 1)) items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
    if (items.size() > kMaxCommandBarItems && separatorAt(items.size() - 1)) items.pop_back();
    if (items.size() > kMaxCommandBarItems && separatorAt(0)) items.erase(items.begin());
    if (items.size() > kMaxCommandBarItems) items.resize(kMaxCommandBarItems);
    return items;
}

std::vector<int> DefaultCommandBarItems() {
    return RestoreCommandBarLayout(8, kDefaultCommandBarButtons);
}

}  // namespace corvelle
