// The options dialog's values: the controls' mapping both ways and the order
// in which OK applies and saves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/options_values.h"

namespace corvelle {
namespace {

TEST(OptionValues, UnofferedValuesNeverReachThePreferences) {
    // A time limit the list does not offer selects 3 minutes, and no
    // selection gives 3 minutes: never 0.
    for (uint32_t minutes : {0u, 2u, 11u, 0xFFFFFFFFu})
        EXPECT_EQ(TimeLimitFromIndex(TimeLimitIndex(minutes)), 3u) << minutes;
    EXPECT_EQ(TimeLimitFromIndex(-1), 3u);
    EXPECT_EQ(TimeLimitFromIndex(4), 3u);
    // A list value beyond the list selects nothing; no selection keeps the
    // value the preferences hold.
    EXPECT_EQ(ListIndex(2, kPlayModeItems), -1);
    EXPECT_EQ(ValueFromListIndex(-1, kPictureItems, 1), 1);
    EXPECT_EQ(ValueFromListIndex(3, kPicturePositionItems, 2), 2);
    EXPECT_EQ(FlagFromCheck(2), 0);
}

class RecordingApplier : public OptionsApplier {
public:
    explicit RecordingApplier(const AppPreferences& preferences) : prefs(preferences) {}
    void DiscardScaledPicture() override { calls.push_back("discard"); }
    void ApplyOptions() override {
        // The field reads play mode and animation when it applies them.
        calls.push_back("apply mode=" + std::to_string(static_cast<int>(prefs.playMode)) +
                        " animation=" + std::to_string(prefs.animation));
    }
    void SavePrefs() override {
        calls.push_back("save timed=" + std::to_string(prefs.timedGame) +
                        " limit=" + std::to_string(prefs.timeLimit));
    }
    std::vector<std::string> calls;

private:
    const AppPreferences& prefs;
};

TEST(OptionValues, OkStoresAppliesThenSavesInOrder) {
    AppPreferences prefs;
    RecordingApplier applier(prefs);
    OptionValues v = OptionValuesFrom(prefs);
    v.playMode = PlayMode::kClick;
    v.animation = 0;
    v.bgPicture = 1;
    v.bgPicturePosition = 2;
    v.bgColor = 0x123456;
    v.timedGame = 1;
    v.timeLimit = 10;
    EXPECT_TRUE(ApplyOptionValues(v, prefs, applier));
    EXPECT_EQ(applier.calls,
              (std::vector<std::string>{"discard", "apply mode=0 animation=0", "save timed=1 limit=10"}));
    EXPECT_EQ(prefs.bgColor, 0x123456u);
    EXPECT_EQ(prefs.bgPicture, 1);
    EXPECT_EQ(prefs.bgPicturePosition, 2);
}

TEST(OptionValues, OnlyLookChangesRaiseTheFlag) {
    AppPreferences prefs;
    // Animation, timed game and time limit: stored, applied and saved, but
    // the field's look is the same.
    {
        RecordingApplier applier(prefs);
        OptionValues v = OptionValuesFrom(prefs);
        v.animation = 0;
        v.timedGame = 1;
        v.timeLimit = 5;
        EXPECT_FALSE(ApplyOptionValues(v, prefs, applier));
        EXPECT_EQ(applier.calls, (std::vector<std::string>{"apply mode=1 animation=0", "save timed=1 limit=5"}));
    }
    // The same picture again does not discard the scaled picture; each look
    // value alone raises the flag.
    for (int which = 0; which < 3; ++which) {
        AppPreferences p;
        p.bgPicture = 1;
        RecordingApplier applier(p);
        OptionValues v = OptionValuesFrom(p);
        if (which == 0) v.playMode = PlayMode::kClick;
        if (which == 1) v.bgColor = 1;
        if (which == 2) v.bgPicturePosition = 1;
        EXPECT_TRUE(ApplyOptionValues(v, p, applier)) << which;
        EXPECT_EQ(applier.calls.size(), 2u);
        EXPECT_EQ(applier.calls[0].rfind("apply", 0), 0u);
    }
}

}  // namespace
}  // namespace corvelle
