// What the engine needs of the window that owns it.
#pragma once

#include <cstdint>

namespace corvelle {

// The hint counter that every new history record resets, the game clock,
// the save stamps of the ten saved-game slots and the deal number kept with
// a saved game. The main dialog implements it; tests use their own.
class CEngineOwner {
public:
    virtual void ResetHintIndex() = 0;
    virtual uint32_t GetElapsedSeconds() const = 0;
    virtual void SetElapsedSeconds(uint32_t seconds) = 0;
    virtual uint32_t* GetSaveStamps() = 0;   // ten u32 stamps, one per slot
    // The deal number of the game in play, saved beside it and handed back
    // when it is restored (Restart deals it again).
    virtual uint32_t GetGameNumber() const = 0;
    virtual void SetGameNumber(uint32_t number) = 0;

protected:
    ~CEngineOwner() = default;
};

}  // namespace corvelle
