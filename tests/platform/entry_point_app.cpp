// A program made of nothing but an application object, linked with the
// layer's entry point: the entry point must reach InitInstance once, and a
// false answer must end the program with ExitInstance's code, no loop run.
#include "platform/win_app.h"

namespace {

class EntryPointApp : public corvelle::CWinApp {
public:
    BOOL InitInstance() override {
        ++initCalls;
        return FALSE;
    }
    int Run() override {
        ran = true;
        return CWinApp::Run();
    }
    int ExitInstance() override {
        bool right = initCalls == 1 && !ran && corvelle::GetApp() == this &&
                     GetInstance() == ::GetModuleHandleW(nullptr);
        return right ? 0 : 1;
    }

private:
    int initCalls = 0;
    bool ran = false;
};

EntryPointApp application;

}  // namespace
