// What the engine needs of the window that owns it.
#pragma once

#include <cstdint>

namespace corvelle {

// The hint counter that every new history record resets, the game clock and
// the save stamps of the ten saved-game slots. The main dialog implements it;
// tests use their own.
class CEngineOwner {
public:
    virtual void ResetHintIndex() = 0;
    virtual uint32_t GetElapsedSeconds() const = 0;
    virtual void SetElapsedSeconds(uint32_t seconds) = 0;
    virtual uint32_t* GetSaveStamps() = 0;   // ten u32 stamps, one per slot

protected:
    ~CEngineOwner() = default;
};

}  // namespace corvelle
