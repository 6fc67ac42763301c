// corvelle-fieldview: renders the game field of games of the library, freshly
// dealt, at two field sizes into BMP files, as the field window paints them.
//   corvelle-fieldview OUTDIR [GAME ...]
// Without games it renders six games of different layouts. Each file is
// OUTDIR/<game>-<width>x<height>.bmp (the name in lower case, spaces and
// signs as '-').
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "field/sol_game_field.h"
#include "logic/preferences.h"
#include "library_games.h"
#include "platform/bmp_codec.h"
#include "platform/image_gdi.h"

using namespace corvelle;

namespace {

std::string FileKey(const std::string& name) {
    std::string key;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!key.empty() && key.back() != '-')
            key += '-';
    }
    while (!key.empty() && key.back() == '-') key.pop_back();
    return key;
}

// The field's back buffer as an image.
PixelImage Capture(const CSolGameField& field) {
    PixelImage image;
    ImageFromDc(field.BackBufferDc(), RECT{0, 0, field.DrawWidth(), field.DrawHeight()}, &image);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvelle-fieldview OUTDIR [GAME ...]\n");
        return 2;
    }
    const std::string out = argv[1];
    std::vector<std::string> games(argv + 2, argv + argc);
    if (games.empty())
        games = {"Klondike (draw one)", "Spider (two suits)", "FreeCell", "Pyramid", "Golf", "Canfield"};
    const int sizes[][2] = {{1100, 800}, {867, 686}};   // the smallest: the main window at its minimum
    int failures = 0;
    for (const auto& size : sizes) {
        CWnd main;
        const RECT r{0, 0, size[0] + 221, size[1] + 60};
        if (!main.CreateEx(0, CWnd::DefaultClassName(), L"Field view", WS_POPUP | WS_VISIBLE, r, nullptr, 0)) return 1;
        AppPreferences prefs;
        CSolGameField field;
        if (!field.CreateField(&main, &prefs)) return 1;
        for (const std::string& name : games) {
            CGameEngine engine;
            if (!test::DealLibraryGame(engine, name, 1)) {
                std::fprintf(stderr, "corvelle-fieldview: no game '%s'\n", name.c_str());
                ++failures;
                continue;
            }
            field.SetEngine(&engine);
            field.BuildFromEngine(false);
            field.PrepareDrawing();
            field.Redraw();
            const std::string file =
                out + "/" + FileKey(name) + "-" + std::to_string(size[0]) + "x" + std::to_string(size[1]) + ".bmp";
            if (!WriteBmpFile(Capture(field), file)) {
                std::fprintf(stderr, "corvelle-fieldview: cannot write %s\n", file.c_str());
                ++failures;
                continue;
            }
            std::printf("%s\n", file.c_str());
            field.SetEngine(nullptr);
        }
    }
    return failures == 0 ? 0 : 1;
}
