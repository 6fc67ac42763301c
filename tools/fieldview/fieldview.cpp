// corvelle-fieldview: renders the game field of games of the library, freshly
// dealt, at two field sizes into BMP files, as the field window paints them.
//   corvelle-fieldview OUTDIR [GAME ...]
// Without games it renders six games of different layouts, and the sheet of
// every game of the library at the smallest field, each a third of its size
// under its name, OUTDIR/all-games-867x686.bmp. Each other file is
// OUTDIR/<game>-<width>x<height>.bmp (the name in lower case, spaces and
// signs as '-').
#include <windows.h>

#include <algorithm>
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
#include "platform/resample.h"

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
    ImageFromDc(field.GetBackBufferDC(), RECT{0, 0, field.GetDrawWidth(), field.GetDrawHeight()}, &image);
    return image;
}

// The sheet of every game: a grid of the fields shrunk to a third, each
// under its name.
class GameSheet {
public:
    static constexpr int kColumns = 10, kScale = 3, kGap = 8, kLabel = 18;

    void Add(const std::string& name, const PixelImage& field) {
        names.push_back(name);
        fields.push_back(ResampleImage(field, field.width / kScale, field.height / kScale));
    }

    bool Write(const std::string& file) const {
        if (fields.empty()) return false;
        const int cellW = fields[0].width + kGap, cellH = fields[0].height + kLabel + kGap;
        const int rows = (static_cast<int>(fields.size()) + kColumns - 1) / kColumns;
        const int width = kGap + kColumns * cellW, height = kGap + rows * cellH;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        const RECT all{0, 0, width, height};
        HBRUSH dark = CreateSolidBrush(RGB(40, 40, 44));
        FillRect(dc, &all, dark);
        DeleteObject(dark);
        HFONT font = CreateFontW(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(240, 240, 240));
        for (size_t i = 0; i < fields.size(); ++i) {
            const int x = kGap + static_cast<int>(i % kColumns) * cellW, y = kGap + static_cast<int>(i / kColumns) * cellH;
            std::wstring label(names[i].begin(), names[i].end());
            TextOutW(dc, x, y, label.c_str(), static_cast<int>(label.size()));
            DrawImage(dc, fields[i], x, y + kLabel);
        }
        SelectObject(dc, oldFont);
        DeleteObject(font);
        PixelImage sheet;
        const bool read = ImageFromDc(dc, all, &sheet);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return read && WriteBmpFile(sheet, file);
    }

private:
    std::vector<std::string> names;
    std::vector<PixelImage> fields;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvelle-fieldview OUTDIR [GAME ...]\n");
        return 2;
    }
    const std::string out = argv[1];
    std::vector<std::string> games(argv + 2, argv + argc);
    const bool sheet = games.empty();
    if (sheet) games = {"Klondike (draw one)", "Spider (two suits)", "FreeCell", "Pyramid", "Golf", "Canfield"};
    const int sizes[][2] = {{1100, 800}, {867, 686}};   // the smallest: the main window at its minimum
    int failures = 0;
    for (const auto& size : sizes) {
        CWnd main;
        const RECT r{0, 0, size[0] + 221, size[1] + 60};
        if (!main.CreateEx(0, CWnd::DefaultClassName(), L"Field view", WS_POPUP | WS_VISIBLE, r, nullptr, 0)) return 1;
        AppPreferences prefs;
        CSolGameField field;
        if (!field.CreateField(&main, &prefs)) return 1;
        const bool smallest = &size == &sizes[1];
        GameSheet all;
        std::vector<std::string> names = games;
        if (sheet && smallest) names = test::LibraryGameNames();
        for (const std::string& name : names) {
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
            if (sheet && smallest) all.Add(name, Capture(field));
            if (std::find(games.begin(), games.end(), name) == games.end()) {
                field.SetEngine(nullptr);
                continue;
            }
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
        if (sheet && smallest) {
            const std::string file = out + "/all-games-" + std::to_string(size[0]) + "x" + std::to_string(size[1]) + ".bmp";
            if (all.Write(file)) {
                std::printf("%s\n", file.c_str());
            } else {
                std::fprintf(stderr, "corvelle-fieldview: cannot write %s\n", file.c_str());
                ++failures;
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
