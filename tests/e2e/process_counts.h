// What another process holds of the window system, read from outside it:
// its GDI objects, its windows and the USER handles in use. The system's
// own counts (GetGuiResources) where it keeps them; under Wine, which
// answers 0 for both, the GDI objects are counted in the process's GDI
// handle table and the USER handles in the window server's handle table.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

namespace corvelle::drive {

// Live GDI objects of `process` (opened with PROCESS_QUERY_INFORMATION and
// PROCESS_VM_READ); -1 when they cannot be counted. Read from the handle
// table, `byType` (optional) gets them by the table's type byte (bitmaps,
// fonts, brushes, device contexts, regions, ...), for a leak's report.
int GdiObjectsOf(HANDLE process, std::map<int, int>* byType = nullptr);

// Windows of process `pid`: top-level (shown or not), their children at any
// depth and its message-only windows.
int WindowsOf(DWORD pid);

// USER objects: GetGuiResources's count for `process` where the system keeps
// one. Under Wine the count is of every USER handle in use in the session
// (windows, menus, icons and cursors, hooks, accelerator tables of every
// process); the soak's other processes hold theirs still, so a change is the
// program's. Wine's server hands out a free entry of its table last freed
// first, and an entry never used before (always the next one past the end)
// with generation 1: the probe takes menus until it gets such an entry, and
// the entries below it, less the free ones it took on the way, are in use.
// The probe keeps that last menu (so the table does not grow with every
// probe) and leaves its count out.
class UserHandleProbe {
public:
    ~UserHandleProbe();
    int Count(HANDLE process);

private:
    std::vector<HMENU> keptMenus;
    unsigned highWater = 0;   // the table's end as the last probe found it
};

}  // namespace corvelle::drive
