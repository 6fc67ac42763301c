// What the end-to-end tests set up before they start the program: a game
// in play saved where the program restores it, with the preferences that
// make it current; the steps of a game's win as the library's win search
// writes them (corvelle-cli solve); a game's place in the library.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/engine_owner.h"
#include "engine/game_engine.h"
#include "engine/registry.h"
#include "engine/saved_game.h"

namespace corvelle::drive {

struct Step {
    bool click = false;
    uint16_t from = 0, to = 0, count = 0;
};

// The solver's steps: "FROM TO COUNT" or "click PILE", after its first line.
std::vector<Step> ReadSteps(const char* file);

// Plays `steps` on `engine` from its deal up to, not including, the one
// that wins; that step is returned.
bool PlayUpToTheWinningStep(CGameEngine& engine, const std::string& name, uint32_t number,
                            const std::vector<Step>& steps, Step* last);

// Where a press makes step `s` on the field (client coordinates of a field
// `width` x `height`): the point to press and where to release it.
void StepGesture(const CGameEngine& engine, const Step& s, int width, int height, POINT* press, POINT* release);

// The database position of the library game named `name`, or 0xFFFFFFFF.
uint32_t LibraryPosition(const std::string& name);

// The engine's owner as the main window is to it: the clock a saved game
// keeps, the save stamps of its slots and the deal number saved with it.
class SavingOwner : public CEngineOwner {
public:
    explicit SavingOwner(uint32_t seconds, uint32_t gameNumber = 0) : storedSeconds(seconds), storedNumber(gameNumber) {}
    void ResetHintIndex() override {}
    uint32_t GetElapsedSeconds() const override { return storedSeconds; }
    void SetElapsedSeconds(uint32_t seconds) override { storedSeconds = seconds; }
    uint32_t* GetSaveStamps() override { return saveStamps; }
    uint32_t GetGameNumber() const override { return storedNumber; }
    void SetGameNumber(uint32_t number) override { storedNumber = number; }

private:
    uint32_t storedSeconds;
    uint32_t storedNumber;
    uint32_t saveStamps[kSavedGameSlots] = {};
};

// What the program is to start with: a clean registry holding `engine`'s
// game in play (deal `gameNumber` of the library game `name`) as the saved
// and current game, the last run ended cleanly, no animation, drag and
// drop; `more` writes further preferences. Test failures are reported.
void PrepareStart(CGameEngine& engine, const std::string& name, uint32_t gameNumber,
                  const std::function<void(CRegistryKey&)>& more = nullptr);

}  // namespace corvelle::drive
