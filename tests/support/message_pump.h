// Dispatches every message waiting in this thread's queue, as a modal loop
// would between two inputs, so that what the windows posted has happened.
#pragma once

#include <windows.h>

namespace corvelle::test {

inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

}  // namespace corvelle::test
