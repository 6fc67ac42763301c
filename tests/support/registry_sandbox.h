// Test support for code that keeps records in the registry: each test gets
// its own root key (below "SOFTWARE\Velmora Software\Corvelle Tests", named
// after the process and a counter), so test processes running side by side
// never see each other's records; the key is deleted when the test ends.
// An engine owner with a clock, save stamps and a hint counter goes with it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/game_engine.h"

namespace corvelle::test {

class RegistrySandbox : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::u16string root;
};

class TestOwner : public CEngineOwner {
public:
    void ResetHintIndex() override { hintIndex = 0; ++hintResets; }
    uint32_t GetElapsedSeconds() const override { return elapsed; }
    void SetElapsedSeconds(uint32_t seconds) override { elapsed = seconds; }
    uint32_t* GetSaveStamps() override { return stamps; }
    uint32_t GetGameNumber() const override { return gameNumber; }
    void SetGameNumber(uint32_t number) override { gameNumber = number; }

    uint32_t elapsed = 0;
    uint32_t gameNumber = 0;
    uint32_t stamps[10] = {};
    int hintIndex = 5;
    int hintResets = 0;
};

}  // namespace corvelle::test
