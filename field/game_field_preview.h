// CSolGameFieldPreview: an owner-drawn static that shows the current game
// as a thumbnail. The first drawing of a game renders it through the game
// field (which must hold that game) and stores it in the preview cache;
// later drawings decode the stored image. A stored image that cannot be
// decoded is dropped and the game rendered again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/controls.h"
#include "platform/pixel_image.h"

namespace corvelle {

class CPreviewImageCache;
class CSolGameField;

// The size of the field a preview is drawn on before it is scaled down.
constexpr int32_t kPreviewFieldWidth = 850;
constexpr int32_t kPreviewFieldHeight = 660;

// Where a preview takes its game from.
struct PreviewSource {
    std::function<CSolGameField*()> field;    // holds the game of currentGame
    std::function<uint32_t()> currentGame;    // the cache key: the game's database position
    CPreviewImageCache* cache = nullptr;
};

class CSolGameFieldPreview : public CStatic {
public:
    explicit CSolGameFieldPreview(PreviewSource renderSource) : source(std::move(renderSource)) {}

    void SetBgColor(COLORREF value) { colour = value; }
    void SetPicture(uint8_t value) { picture = value; }
    void SetPicturePosition(uint8_t value) { position = value; }
    // The next drawing renders anew and replaces the stored image.
    void MarkForRender() { needsRender = true; }
    // Takes the image this control rendered last out of the cache (a
    // background that was only tried, never applied).
    void ForgetRendered();
    bool NeedsRender() const { return needsRender; }

    // Draws the field's game on an 850 x 660 field of the given background
    // (CSolGameField::RenderField), scales it to the 170 x 132 thumbnail,
    // draws that stretched into `rect` of `target` and stores it, encoded,
    // in `cache` (when given) under `key`.
    static void RenderPreview(CSolGameField& field, HDC target, const RECT* rect, COLORREF colour, uint8_t picture,
                              uint8_t position, CPreviewImageCache* cache, uint32_t key);
    // The thumbnail alone (empty when the field has no window).
    static PixelImage RenderThumbnail(CSolGameField& field, COLORREF colour, uint8_t picture, uint8_t position);

protected:
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;

private:
    // Draws the stored image of `key` stretched into r; false when there is
    // none or it does not decode (then it is dropped).
    bool DrawCached(HDC dc, const RECT& r, uint32_t key);

    PreviewSource source;
    bool needsRender = true;
    COLORREF colour = 0;
    uint8_t picture = 0;
    uint8_t position = 0;
    bool rendered = false;
    uint32_t renderedKey = 0;
};

}  // namespace corvelle
