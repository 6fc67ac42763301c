// CSolGameField: the child window of the main dialog in which the current
// game is drawn. It keeps its own copy of the game (FieldLayout), rebuilt
// from the engine after every game change, and draws only from that copy:
// the background (a colour, and the field picture centred, tiled or
// stretched), every visible pile in draw order and the card the player
// peeks at, into a client-sized back buffer that is then copied to the
// window. While it draws it records the hit regions that the mouse input
// (CFieldInput, which the window's mouse messages go to) searches. It also
// shows moves sliding from pile to pile and blinks hints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "field/card_painter.h"
#include "field/field_input.h"
#include "field/field_model.h"
#include "field/field_update.h"
#include "field/hit_regions.h"
#include "field/pile_geometry.h"
#include "platform/drawing.h"
#include "platform/pixel_image.h"
#include "platform/wnd.h"

namespace corvelle {

class CGameEngine;
struct AppPreferences;

// Key colour of run images: the pixels outside the cards.
constexpr COLORREF kRunImageKey = kKeyGreen;
// Sent (never posted) by the field to its main window after every step that
// changed the game, so that the main window checks for a won, lost or
// timed-out game before the mouse handler returns.
constexpr UINT WM_GAMESTATECHECK = WM_USER + 0x1004;

class CSolGameField : public CWnd {
public:
    // Makes the field as a child of `main` (window name "SolGameField",
    // control id 103) over main's client area less the command bar (40
    // pixels at the top), the side panel (221 at the right) and the status
    // bar (20 at the bottom); the main window's layout later places it
    // exactly. It reads play mode, animation, background and card back from
    // `prefs`, which must outlive it. Null when the window cannot be made.
    // The window uses the window layer's default class, registered once,
    // without CS_DBLCLKS: a quick second press arrives as a press.
    static CSolGameField* CreateGameField(CWnd* main, const AppPreferences* prefs);
    CSolGameField();
    ~CSolGameField() override;
    // The creation step of CreateGameField for a field constructed by the
    // caller; false when the window was not made.
    bool CreateField(CWnd* main, const AppPreferences* prefs);

    // ---- the game (sol_game_field.cpp)
    void SetEngine(CGameEngine* value) {
        engine = value;
        input.SetEngine(value);
    }
    CGameEngine* GetEngine() const { return engine; }
    // Play mode and animation from the preferences. A change of play mode
    // ends a press or drag under way.
    void ApplyOptions();
    // Rebuilds the copy from the engine; quiet leaves the full-repaint flag
    // as it is (a game loaded without drawing). Nothing draws or hit-tests
    // until PrepareDrawing. Returns false when the engine's card states
    // named places outside their piles (those cards are left out).
    bool BuildFromEngine(bool quiet);
    // Card geometry, the 56 card images, the draw order; no selection.
    void PrepareDrawing();
    void FreeDrawingResources();
    // Empties the copy, ends a drag (its cards are in the copy being
    // emptied; the capture is released) and ends a peek.
    void ResetField();
    // The highlighted card (the clicking mode's selection, the hint's
    // blink) and the card drawn whole on top of everything, both kept by
    // the input; they take effect with the next full paint.
    void ClearSelection() { input.ClearSelection(); }
    void SetSelection(uint32_t pile, uint32_t index) { input.SetSelection(pile, index); }
    uint32_t GetSelectedPile() const { return input.GetSelectedPile(); }
    uint32_t GetSelectedIndex() const { return input.GetSelectedIndex(); }
    void SetPeek(uint16_t pile, uint16_t index) { input.SetPeek(pile, index); }
    uint16_t GetPeekPile() const { return input.GetPeekPile(); }
    uint16_t GetPeekIndex() const { return input.GetPeekIndex(); }
    FieldLayout& GetLayout() { return layout; }
    const FieldLayout& GetLayout() const { return layout; }
    CHitRegions& GetHitRegions() { return hitRegions; }

    // ---- painting (field_painting.cpp)
    // The stretched picture is made again with the next paint (the picture
    // or its position changed).
    void DiscardScaledPicture() { scaledPictureValid = false; }
    CSolGameField* SetFullRepaint() {
        backBuffer.Invalidate();
        return this;
    }
    // Repaints the whole field at once and shows it.
    void Redraw();
    // Brings the back buffer up to date: made again when the client size
    // changed, redrawn in full when a full repaint is due.
    void PaintToBackBuffer();
    // Copies the back buffer to dc.
    void PresentBackBuffer(HDC dc) const;
    // The back buffer (null DC while the field has no area) and the client
    // rectangle it was made for.
    HDC GetBackBufferDC() const { return backBuffer.GetDC(); }
    const RECT& GetFieldRect() const { return backBuffer.GetArea(); }
    int32_t GetDrawWidth() const { return static_cast<int32_t>(backBuffer.GetWidth()); }
    int32_t GetDrawHeight() const { return static_cast<int32_t>(backBuffer.GetHeight()); }

    // The game on a field of width x height with the given background
    // (picture 1 the field picture, by position 0 centred, 1 tiled, 2
    // stretched), without hit regions: the source of the previews. A
    // selected card is drawn highlighted, the peeked card is not drawn.
    // Empty when the field has no window.
    PixelImage RenderField(int32_t width, int32_t height, COLORREF colour, uint8_t picture, uint8_t position);

    // ---- cards in motion (field_animation.cpp)
    // Draws cards fromIndex .. fromIndex + count - 1 of the pile into a new
    // image compatible with dc (the image a drag carries and a move slides),
    // the cards' surroundings in kRunImageKey, and reports where the run's
    // first card lies in it. False, leaving the image empty, when the range
    // does not fit the pile.
    bool RenderRun(uint16_t pile, uint16_t fromIndex, uint16_t count, HDC dc, CMemoryBitmap* image,
                   int32_t* offsetX, int32_t* offsetY);
    // Moves the run fromIndex .. fromIndex + count - 1 of fromPile so that it
    // becomes toIndex .. toIndex + count - 1 of toPile, showing it slide
    // there in four frames when animation is on and both piles are visible.
    // Nothing happens when the range or the index does not fit.
    void MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile, uint16_t toIndex);
    // Animation frames shown since the field was made.
    uint32_t GetAnimationFramesShown() const { return framesShown; }
    // Blinks a hint: target kFieldNone flashes pile `first` twice; otherwise
    // the card numbered `first` flashes twice, then pile `target` twice.
    // Each step redraws and pauses 200 ms; the field ends with no selection.
    void BlinkHint(uint16_t first, uint16_t target);
    // The pause between blink steps, each step held on the screen
    // (ShowDrawingFor by default); tests replace it.
    void SetPause(std::function<void(uint32_t)> value) { pause = std::move(value); }

    // ---- field updates (field_moves.cpp)
    // Replays the batch on the copy (moves animated when animation is on)
    // and empties it; with animation off the batch ends with one redraw. A
    // batch that lost an update is followed by a rebuild of the copy from
    // the engine.
    void ApplyFieldUpdates(FieldUpdateList& updates);

    // ---- mouse input (field_window_input.cpp; the logic is CFieldInput's)
    // Ends a press or drag of the left button as a refused drop does: the
    // dragged cards go back to their pile, the drag images are released and
    // the field is repainted. The main window calls it before anything that
    // changes the game outside the field (undo, a new deal, a dialog).
    void CancelDrag() { input.CancelDrag(); }
    bool IsDragging() const { return input.IsDragging(); }
    bool IsLeftButtonDown() const { return input.IsLeftButtonDown(); }
    bool IsPeeking() const { return input.IsPeeking(); }
    // The source of time() for the clicking mode's second click; tests
    // replace it.
    void SetClock(std::function<uint32_t()> clock) { input.SetClock(std::move(clock)); }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    void OnRButtonUp(UINT flags, POINT point) override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnCaptureChanged(HWND newCapture) override;

private:
    // What the input asks of this window.
    class InputView : public FieldInputView {
    public:
        explicit InputView(CSolGameField& owner) : field(owner) {}
        HitRect GetFieldArea() const override;
        bool IsAnimated() const override;
        void Redraw() override;
        void Repaint() override;
        void ApplyFieldUpdates(FieldUpdateList& updates) override;
        void MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                               uint16_t toIndex) override;
        void CheckGameState() override;
        void TakeCapture() override;
        void ReleaseCapture() override;
        void ShowPeekCursor() override;
        void RestoreCursor() override;
        void MoveCursorBy(int32_t dx, int32_t dy) override;
        bool MakeDragImage(uint16_t pile, uint16_t index, uint16_t count, DragImage* image) override;
        void ShowDragImage(int32_t left, int32_t top) override;
        bool MoveDragImage(int32_t fromLeft, int32_t fromTop, int32_t left, int32_t top) override;
        void ReleaseDragImage() override;

    private:
        CSolGameField& field;
    };

    // Releases the capture this field holds without treating the capture's
    // end as a lost capture.
    void ReleaseOwnCapture();
    // Copies the back buffer to the window at once.
    void PresentNow();
    // Where the back buffer stands in the window.
    POINT GetBufferCorner() const;
    // Rebuilds the piles from the engine, keeping the geometry and the draw
    // order, and redraws (the copy was found out of step).
    void ResyncWithEngine();

    void CreateBackBuffer();
    void FreeBackBuffer();
    void PaintBackground();
    // Fills dc (width x height) with colour and draws the field picture on
    // it by position; `scaled` keeps the stretched picture of that size.
    void PaintBackgroundTo(HDC dc, int32_t width, int32_t height, COLORREF colour, uint8_t picture,
                           uint8_t position, PixelImage* scaled, bool* scaledValid);
    const PixelImage& FieldPicture();
    // Draws the piles (LayOutField) into dc as for a drawing of width x
    // height, recording their hit regions unless recording is suspended.
    void DrawField(HDC dc, int32_t width, int32_t height, uint16_t peekPile, uint16_t peekIndex);
    void DrawCard(HDC dc, const FieldCard& card, int32_t x, int32_t y) const;
    uint32_t GetCardBack() const;

    const AppPreferences* prefs = nullptr;
    CGameEngine* engine = nullptr;
    // The client-sized back buffer; out of date until the next full paint.
    CBackBuffer backBuffer;
    // The field picture's pixels (read once) and, for the stretched
    // position, the picture resampled to the back buffer's size.
    PixelImage picture;
    bool pictureRead = false;
    PixelImage scaledPicture;
    bool scaledPictureValid = false;
    uint8_t animation = 1;
    std::vector<uint16_t> drawOrder;
    CCardPainter painter;
    std::unique_ptr<CCardImageSet> images;
    FieldLayout layout;
    CHitRegions hitRegions{&layout};
    std::vector<FieldSpot> spots;   // reused by DrawField
    std::function<void(uint32_t)> pause;
    uint32_t framesShown = 0;

    // The window's side of the input.
    HWND mainDialog = nullptr;   // receives WM_GAMESTATECHECK
    CMemoryBitmap dragImage;
    // What the drag image covers in the back buffer.
    CMemoryBitmap dragBackground;
    HCURSOR savedCursor = nullptr;
    HCURSOR peekCursor = nullptr;
    // Set while the field releases its own capture.
    bool releasingCapture = false;
    InputView inputView{*this};
    CFieldInput input{layout, hitRegions, inputView};
};

}  // namespace corvelle
