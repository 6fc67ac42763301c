#include "process_counts.h"

#include <winternl.h>

#include <cstdint>

namespace corvelle::drive {

namespace {

// One entry of the GDI handle table (64-bit layout): the object, its owner,
// a reuse count, its type (0: free) and flags, the user pointer.
struct GdiEntry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
};
static_assert(sizeof(GdiEntry) == 24, "one GDI handle-table entry");
constexpr size_t kGdiEntries = 0x10000;
// The table's address in the process block (GdiSharedHandleTable).
constexpr size_t kPebGdiTable = 0xF8;

using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// USER handle values: index * 2 + 0x20 in the low word, the entry's
// generation in the high word.
unsigned UserIndex(HANDLE handle) { return (static_cast<unsigned>(reinterpret_cast<uintptr_t>(handle) & 0xFFFF) - 0x20) >> 1; }
unsigned UserGeneration(HANDLE handle) { return static_cast<unsigned>(reinterpret_cast<uintptr_t>(handle) >> 16) & 0xFFFF; }

}  // namespace

int GdiObjectsOf(HANDLE process, std::map<int, int>* byType) {
    const DWORD counted = ::GetGuiResources(process, GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    if (query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 || !basic.PebBaseAddress) return -1;
    uint64_t table = 0;
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, reinterpret_cast<const uint8_t*>(basic.PebBaseAddress) + kPebGdiTable, &table,
                             sizeof table, &read) ||
        read != sizeof table || table == 0)
        return -1;
    // In slices: the table's tail may lie in memory not yet committed.
    constexpr size_t kSlice = 4096;
    static GdiEntry entries[kSlice];
    int live = 0;
    for (size_t first = 0; first < kGdiEntries; first += kSlice) {
        if (!::ReadProcessMemory(process, reinterpret_cast<const void*>(table + first * sizeof(GdiEntry)), entries,
                                 sizeof entries, &read))
            break;
        for (size_t i = 0; i < read / sizeof(GdiEntry); ++i) {
            if (entries[i].type == 0) continue;
            ++live;
            if (byType) ++(*byType)[entries[i].type];
        }
    }
    return live;
}

namespace {

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != c->pid) return TRUE;
    ++c->count;
    ::EnumChildWindows(window, CountChild, param);
    return TRUE;
}

}  // namespace

int WindowsOf(DWORD pid) {
    WindowCount c{pid, 0};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&c));
    for (HWND w = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = ::FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
        CountTopLevel(w, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

UserHandleProbe::~UserHandleProbe() {
    for (HMENU menu : keptMenus) ::DestroyMenu(menu);
}

int UserHandleProbe::Count(HANDLE process) {
    const DWORD counted = ::GetGuiResources(process, GR_USEROBJECTS);
    if (counted != 0) return static_cast<int>(counted);
    std::vector<HMENU> taken;
    int result = -1;
    // The table holds at most 32,752 entries.
    for (int guard = 0; guard < 33000; ++guard) {
        HMENU menu = ::CreatePopupMenu();
        if (!menu) break;
        const unsigned index = UserIndex(menu);
        if (UserGeneration(menu) == 1 && index >= highWater) {
            highWater = index + 1;
            result = static_cast<int>(index) - static_cast<int>(taken.size()) - static_cast<int>(keptMenus.size());
            keptMenus.push_back(menu);
            break;
        }
        taken.push_back(menu);
    }
    for (HMENU menu : taken) ::DestroyMenu(menu);
    return result;
}

}  // namespace corvelle::drive
