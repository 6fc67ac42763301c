// A program made of nothing but an application object, linked with the
// layer's entry point: the entry point must reach InitInstance once, and a
// false answer must end the program with ExitInstance's code, no loop run.
#include "platform/win_app.h"

namespace {

class EntryPointApp : public corvelle::CWinApp {
public:
    BOOL InitInstance() override {
        ++initCalls_;
        return FALSE;
    }
    int Run() override {
        ran_ = true;
        return CWinApp::Run();
    }
    int ExitInstance() override {
        bool right = initCalls_ == 1 && !ran_ && corvelle::GetApp() == this &&
                     GetInstance() == ::GetModuleHandleW(nullptr);
        return right ? 0 : 1;
    }

private:
    int initCalls_ = 0;
    bool ran_ = false;
};

EntryPointApp application;

}  // namespace
