// The field window's creation, its copy of the game and the preparation
// that precedes drawing.
#include "field/sol_game_field.h"

#include "engine/game_engine.h"
#include "logic/preferences.h"
#include "res/resource.h"

namespace corvelle {

CSolGameField::CSolGameField()
    : pause_([](uint32_t ms) { ShowDrawingFor(ms); }), peekCursor_(::LoadCursorW(nullptr, IDC_HELP)) {}

CSolGameField::~CSolGameField() {
    FreeBackBuffer();
    FreeDrawingResources();
    hitRegions_.Free();
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

bool CSolGameField::CreateField(CWnd* main, const AppPreferences* prefs) {
    prefs_ = prefs;
    mainDialog_ = main ? main->GetSafeHwnd() : nullptr;
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
    if (!prefs_) return;
    input_.SetPlayMode(prefs_->playMode);
    animation_ = prefs_->animation;
}

void CSolGameField::ResetField() {
    input_.Reset();
    layout_ = FieldLayout{};
}

bool CSolGameField::BuildFromEngine(bool quiet) {
    ResetField();
    bool complete = true;
    if (engine_) complete = BuildFieldLayout(*engine_, layout_);
    if (!quiet) backBuffer_.Invalidate();
    return complete;
}

void CSolGameField::FreeDrawingResources() {
    drawOrder_.clear();
    images_.reset();
}

void CSolGameField::PrepareDrawing() {
    drawOrder_.clear();
    layout_.SetStandardGeometry();
    painter_.cardWidth = layout_.cardWidth;
    painter_.cardHeight = layout_.cardHeight;
    // The images depend on the card size alone: made once and kept for the
    // games that follow. They are made compatible with the back buffer, or
    // with the screen while the field has no area.
    if (!images_ || images_->Width() != layout_.cardWidth || images_->Height() != layout_.cardHeight) {
        images_.reset();
        HDC dc = backBuffer_.GetDC();
        HDC screen = dc ? nullptr : ::GetDC(nullptr);
        images_ = std::make_unique<CCardImageSet>(dc ? dc : screen, &painter_, layout_.cardWidth, layout_.cardHeight);
        if (screen) ::ReleaseDC(nullptr, screen);
    }
    drawOrder_ = SortPilesByDrawOrder(layout_);
    ClearSelection();
}

uint32_t CSolGameField::CardBack() const { return prefs_ ? prefs_->cardBack : 0; }

}  // namespace corvelle
