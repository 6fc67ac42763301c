// What the options dialog edits, and how its controls map to the stored
// preference values and back, in plain C++: the time-limit list, the check
// boxes and the three lists, and the order in which OK applies and saves the
// values. The dialog window (options_dlg.h) only moves values between these
// functions and its controls.
#pragma once

#include <cstdint>

#include "logic/preferences.h"

namespace corvelle {

// The values the dialog shows and edits.
struct OptionValues {
    uint8_t timedGame = 0;
    uint32_t timeLimit = 3;     // minutes
    uint8_t animation = 1;
    PlayMode playMode = PlayMode::kDrag;   // its list index is its stored value
    uint32_t bgColor = kDefaultBgColor;
    uint8_t bgPicture = 0;      // list index: 0 none, 1 the field picture
    uint8_t bgPicturePosition = 0;   // list index: 0 centre, 1 tile, 2 stretch
};
OptionValues OptionValuesFrom(const AppPreferences& prefs);

// Item counts of the dialog's lists.
constexpr int kPlayModeItems = 2;
constexpr int kPictureItems = 2;
constexpr int kPicturePositionItems = 3;

// Check boxes: a set value is checked; a checked box gives 1.
int CheckFromFlag(uint8_t flag);
uint8_t FlagFromCheck(int check);
// The time-limit list holds 1, 3, 5 and 10 minutes. A limit that is none of
// them selects 3 minutes, so the list always has a selection; an index
// outside the list (no selection) gives 3 minutes, never 0.
int TimeLimitIndex(uint32_t minutes);
uint32_t TimeLimitFromIndex(int index);
// A list whose index is the value: a value beyond the list selects nothing;
// no selection (or an index beyond the list) keeps `current`.
int ListIndex(uint8_t value, int items);
uint8_t ValueFromListIndex(int index, int items, uint8_t current);

// What applying the options does beyond the preference members, in the
// order OK calls it.
class OptionsApplier {
public:
    virtual ~OptionsApplier() = default;
    // The picture changed: the field's stretched copy must be made again.
    virtual void DiscardScaledPicture() = 0;
    // The field takes play mode and animation from the preferences.
    virtual void ApplyOptions() = 0;
    // The preferences go to the registry (the program goes on running).
    virtual void SavePrefs() = 0;
};

// OK: stores animation, then play mode, colour, picture (discarding the
// field's scaled picture when it changed) and position, applies the options
// to the field, stores timed game and time limit, and saves. Returns whether
// a value that changes the field's look (play mode, colour, picture,
// position) changed.
bool ApplyOptionValues(const OptionValues& values, AppPreferences& prefs, OptionsApplier& applier);

}  // namespace corvelle
