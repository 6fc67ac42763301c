// The program's entry point: everything happens in the application object.
#include <windows.h>

#include "platform/win_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return corvelle::RunApplication(instance);
}
