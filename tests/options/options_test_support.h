// Support of the options and command-bar window tests: a top-level owner
// window, pictures of windows as they are on the screen, and acting on a
// dialog that another modal loop opens.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/pixel_image.h"
#include "platform/wnd.h"

namespace corvelle::test {

// A visible top-level window of 1100 x 800 pixels.
class OwnerWindow : public CWnd {
public:
    bool Make();
};

// The window's pixels as the screen shows them.
PixelImage CaptureWindow(HWND window);
// Writes the window's picture as a BMP file of that name into the test's
// build folder.
void SavePicture(HWND window, const std::string& name);

// Calls `act` with the first dialog of this thread, other than `except`,
// that appears while a modal loop runs (checked every 50 ms).
void WhenDialogAppears(HWND except, std::function<void(HWND)> act);

}  // namespace corvelle::test
