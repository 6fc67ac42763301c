// The field window's creation, its copy of the game and the preparation
// that precedes drawing.
#include "field/sol_game_field.h"

#include "engine/game_engine.h"
#include "logic/preferences.h"
#include "res/resource.h"

namespace corvelle {

CSolGameField::CSolGameField()
    : pause([](uint32_t ms) { ShowDrawingFor(ms); }), peekCursor(::LoadCursorW(nullptr, IDC_HELP)) {}

CSolGameField::~CSolGameField() {
    FreeBackBuffer();
    FreeDrawingResources();
    hitRegions.Free();
    ResetField();
}

CSolGameField* CSolGameField::CreateGameField(CWnd* main, const AppPreferences* prefs) {
    auto* field = new CSolGameField;
    if (!field->CreateField(main, prefs)) {
        delete field;
        return nullptr;
    }
    return field;
}

bool CSolGameField::CreateField(CWnd* main, const AppPreferences* preferences) {
    prefs = preferences;
    mainDialog = main ? main->GetSafeHwnd() : nullptr;
    RECT r{};
    if (main) main->GetClientRect(&r);
    r.top += 40;
    r.right -= 221;
    r.bottom -= 20;
    if (!Create(L"SolGameField", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r, main, IDC_GAME_FIELD)) return false;
    CreateBackBuffer();
    return true;
}

void CSolGameField::ApplyOptions() {
    if (!prefs) return;
    input.SetPlayMode(prefs->playMode);
    animation = prefs->animation;
}

void CSolGameField::ResetField() {
    input.Reset();
    layout = FieldLayout{};
}

bool CSolGameField::BuildFromEngine(bool quiet) {
    ResetField();
    bool complete = true;
    if (engine) complete = BuildFieldLayout(*engine, layout);
    if (!quiet) backBuffer.Invalidate();
    return complete;
}

void CSolGameField::FreeDrawingResources() {
    drawOrder.clear();
    images.reset();
}

void CSolGameField::PrepareDrawing() {
    drawOrder.clear();
    layout.SetStandardGeometry();
    painter.cardWidth = layout.cardWidth;
    painter.cardHeight = layout.cardHeight;
    // The images depend on the card size alone: made once and kept for the
    // games that follow. They are made compatible with the back buffer, or
    // with the screen while the field has no area.
    if (!images || images->GetWidth() != layout.cardWidth || images->GetHeight() != layout.cardHeight) {
        images.reset();
        HDC dc = backBuffer.GetDC();
        HDC screen = dc ? nullptr : ::GetDC(nullptr);
        images = std::make_unique<CCardImageSet>(dc ? dc : screen, &painter, layout.cardWidth, layout.cardHeight);
        if (screen) ::ReleaseDC(nullptr, screen);
    }
    drawOrder = SortPilesByZOrder(layout);
    ClearSelection();
}

uint32_t CSolGameField::GetCardBack() const { return prefs ? prefs->cardBack : 0; }

}  // namespace corvelle
