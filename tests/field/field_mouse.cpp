#include "field_mouse.h"

#include <vector>

#include "field/animation.h"
#include "visible_points.h"

namespace corvelle::test {

void FieldMouse::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // The system's own moves of the idle screen cursor (it holds no
        // button here; Wine makes them up when the capture or the windows
        // change) would move a drag to wherever that cursor rests.
        if (msg.message == WM_MOUSEMOVE && !(msg.wParam & (MK_LBUTTON | MK_RBUTTON))) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void FieldMouse::Post(UINT message, WPARAM flags, POINT p) const {
    PostMessageW(field->GetSafeHwnd(), message, flags, MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
    Pump();
}

void FieldMouse::Click(POINT p) const {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, p);
    Post(WM_LBUTTONUP, 0, p);
}

bool FieldMouse::PointOf(uint16_t pile, uint16_t index, POINT* p, HitRect* rect) const {
    int32_t x = 0, y = 0;
    if (!CardPoint(field->GetHitRegions().GetEntries(), field->GetLayout(), pile, index, &x, &y, rect)) return false;
    *p = POINT{x, y};
    return true;
}

bool FieldMouse::TargetPoint(uint16_t pile, POINT* p) const {
    int32_t x = 0, y = 0;
    if (!DropPoint(field->GetHitRegions().GetEntries(), field->GetLayout(), pile, &x, &y)) return false;
    *p = POINT{x, y};
    return true;
}

bool FieldMouse::DragTo(uint16_t pile, uint16_t index, POINT target, bool release, POINT* releasePoint) const {
    POINT press{};
    HitRect rect;
    if (!PointOf(pile, index, &press, &rect)) return false;
    const FieldLayout& layout = field->GetLayout();
    const auto count = static_cast<uint16_t>(layout.piles[pile].cards.size() - index);
    const RunImageGeometry g = MeasureRun(layout, layout.piles[pile].fan, count);
    // The image keeps its distance to the cursor from the press on.
    const int32_t dx = target.x - (rect.left - g.firstX + static_cast<int32_t>(layout.cardWidth / 2));
    const int32_t dy = target.y - (rect.top - g.firstY + static_cast<int32_t>(layout.cardHeight / 2));
    Post(WM_LBUTTONDOWN, MK_LBUTTON, press);
    Post(WM_MOUSEMOVE, MK_LBUTTON, POINT{press.x + kDragThreshold, press.y});
    for (int k = 1; k <= 3; ++k) Post(WM_MOUSEMOVE, MK_LBUTTON, POINT{press.x + dx * k / 3, press.y + dy * k / 3});
    const POINT end{press.x + dx, press.y + dy};
    if (releasePoint) *releasePoint = end;
    if (release) Post(WM_LBUTTONUP, 0, end);
    return true;
}

bool FieldMouse::FindVisibleHint(const CGameEngine& engine, uint16_t* pile, uint16_t* index, uint16_t* target) const {
    return VisibleHint(field->GetHitRegions().GetEntries(), field->GetLayout(), engine, pile, index, target);
}

}  // namespace corvelle::test
