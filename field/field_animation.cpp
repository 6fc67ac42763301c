// Cards in motion: the image of a run, a move sliding from pile to pile in
// four frames over the back buffer, and the hint blink.
#include "field/animation.h"
#include "field/sol_game_field.h"

namespace corvelle {

bool CSolGameField::RenderRun(uint16_t pile, uint16_t fromIndex, uint16_t count, HDC dc, CMemoryBitmap* image,
                              int32_t* offsetX, int32_t* offsetY) {
    image->Destroy();
    if (pile >= layout.piles.size() || !images || count == 0) return false;
    const FieldPile& p = layout.piles[pile];
    if (size_t{fromIndex} + count > p.cards.size()) return false;
    const RunImageGeometry g = MeasureRun(layout, p.fan, count);
    image->Create(dc, static_cast<uint32_t>(g.width), static_cast<uint32_t>(g.height));
    HDC target = image->GetDC();
    if (!target) return false;
    HBRUSH key = ::CreateSolidBrush(kRunImageKey);
    const RECT all{0, 0, g.width, g.height};
    ::FillRect(target, &all, key);
    ::DeleteObject(key);
    for (int32_t i = g.lastOnly ? count - 1 : 0; i < count; ++i) {
        const int32_t k = g.lastOnly ? 0 : i;
        DrawCard(target, p.cards[static_cast<size_t>(fromIndex + i)], g.firstX + k * g.dx, g.firstY + k * g.dy);
    }
    if (offsetX) *offsetX = g.firstX;
    if (offsetY) *offsetY = g.firstY;
    return true;
}

void CSolGameField::MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                                      uint16_t toIndex) {
    if (!FieldRunFits(layout, fromPile, fromIndex, count, toPile, toIndex)) return;
    const bool sourceShown = animation && layout.piles[fromPile].visible;
    const bool destShown = animation && layout.piles[toPile].visible;
    const bool shown = sourceShown && destShown && hwnd && images;
    HDC window = hwnd ? ::GetDC(hwnd) : nullptr;
    CMemoryBitmap run;
    if (shown) RenderRun(fromPile, fromIndex, count, window, &run, nullptr, nullptr);

    const std::vector<FieldCard> cards = TakeFieldRun(layout, fromPile, fromIndex, count);
    if (sourceShown && window) {
        // The source without the run; the hit regions now describe this.
        SetFullRepaint();
        PaintToBackBuffer();
        PresentBackBuffer(window);
    }
    HDC buffer = backBuffer.GetDC();
    if (shown && run.GetDC() && buffer) {
        FramePoint start, end;
        hitRegions.FindRegion(fromPile, fromIndex, &start.x, &start.y);
        hitRegions.FindRegion(toPile, toIndex, &end.x, &end.y);
        CMemoryBitmap under(buffer, run.GetWidth(), run.GetHeight());
        for (const FramePoint& f : AnimationFrames(start, end)) {
            const POINT at{f.x, f.y};
            under.BlitFrom(buffer, &at);
            run.DrawTransparent(buffer, f.x, f.y, kRunImageKey);
            PresentBackBuffer(window);
            ++framesShown;
            under.BlitTo(buffer, &at);
        }
    }
    InsertFieldRun(layout, toPile, toIndex, cards);
    run.Destroy();
    if (window) ::ReleaseDC(hwnd, window);
    if (destShown) Redraw();
}

void CSolGameField::BlinkHint(uint16_t first, uint16_t target) {
    for (const BlinkStep& step : BlinkSequence(layout, first, target)) {
        SetSelection(step.pile, step.index);
        Redraw();
        pause(kBlinkStepMs);
    }
}

}  // namespace corvelle
