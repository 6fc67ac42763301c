#include "logic/options_values.h"

#include <iterator>

namespace corvelle {

OptionValues OptionValuesFrom(const AppPreferences& prefs) {
    OptionValues v;
    v.timedGame = prefs.timedGame;
    v.timeLimit = prefs.timeLimit;
    v.animation = prefs.animation;
    v.playMode = prefs.playMode;
    v.bgColor = prefs.bgColor;
    v.bgPicture = prefs.bgPicture;
    v.bgPicturePosition = prefs.bgPicturePosition;
    return v;
}

int CheckFromFlag(uint8_t flag) { return flag ? 1 : 0; }
uint8_t FlagFromCheck(int check) { return check == 1 ? 1 : 0; }

namespace {
constexpr int kDefaultTimeLimitIndex = 1;   // 3 minutes
constexpr int kTimeLimitCount = static_cast<int>(std::size(kTimeLimits));
}  // namespace

int TimeLimitIndex(uint32_t minutes) {
    for (int i = 0; i < kTimeLimitCount; ++i)
        if (kTimeLimits[i] == minutes)
            return i;
    return kDefaultTimeLimitIndex;
}

uint32_t TimeLimitFromIndex(int index) {
    return kTimeLimits[index >= 0 && index < kTimeLimitCount ? index : kDefaultTimeLimitIndex];
}

int ListIndex(uint8_t value, int items) { return value < items ? value : -1; }

uint8_t ValueFromListIndex(int index, int items, uint8_t current) {
    return index >= 0 && index < items ? static_cast<uint8_t>(index) : current;
}

bool ApplyOptionValues(const OptionValues& values, AppPreferences& prefs, OptionsApplier& applier) {
    bool changed = false;
    prefs.animation = values.animation;
    if (values.playMode != prefs.playMode) {
        prefs.playMode = values.playMode;
        changed = true;
    }
    if (values.bgColor != prefs.bgColor) {
        prefs.bgColor = values.bgColor;
        changed = true;
    }
    if (values.bgPicture != prefs.bgPicture) {
        prefs.bgPicture = values.bgPicture;
        changed = true;
        applier.DiscardScaledPicture();
    }
    if (values.bgPicturePosition != prefs.bgPicturePosition) {
        prefs.bgPicturePosition = values.bgPicturePosition;
        changed = true;
    }
    applier.ApplyOptions();
    prefs.timedGame = values.timedGame;
    prefs.timeLimit = values.timeLimit;
    applier.SavePrefs();
    return changed;
}

}  // namespace corvelle
