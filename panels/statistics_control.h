// CStatisticsControl: the five statistics lines of one game (games played,
// won, win rate, total and average time), drawn into an off-screen picture
// from the record read at construction and at each Reload.
#pragma once

#include <windows.h>

#include <string>

#include "engine/statistics.h"
#include "platform/controls.h"
#include "platform/drawing.h"

namespace corvelle {

class CStatisticsControl : public CStatic {
public:
    explicit CStatisticsControl(const std::u16string& gameName);
    ~CStatisticsControl() override;

    virtual bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // A new game's name, or nullptr to read the same game's record again.
    void Reload(const char16_t* gameName);
    const GameStatistics& GetStatistics() const { return statistics; }
    const std::u16string& GetGameName() const { return name; }
    HDC GetMemoryDC() const { return memory.GetDC(); }

protected:
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;

private:
    void CreatePicture();

    HFONT font = nullptr;
    CBackBuffer memory;
    std::u16string name;
    GameStatistics statistics;
};

}  // namespace corvelle
