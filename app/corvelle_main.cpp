// The program's one application object; the entry point (platform's
// corvelle_winmain) runs it.
#include "app/corvelle_app.h"

corvelle::CCorvelleApp theApp;
