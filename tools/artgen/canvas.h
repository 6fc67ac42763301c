// A small vector canvas: paths made of lines and Bezier curves, filled with
// anti-aliased coverage (exact horizontally, 16 sub-rows per pixel
// vertically) onto a premultiplied RGBA float image.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Color {
    float r = 0, g = 0, b = 0, a = 0;  // straight (not premultiplied), 0..1
};
Color Rgb(int r, int g, int b, float a = 1.0f);
Color Mix(const Color& x, const Color& y, float t);
Color WithAlpha(Color c, float a);

struct Pt {
    double x = 0, y = 0;
};

// x' = a x + c y + e, y' = b x + d y + f
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    Pt Apply(Pt p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    static Affine Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Affine Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Affine Rotate(double radians);
    // Rotation by radians about the point (cx, cy).
    static Affine RotateAbout(double radians, double cx, double cy);
};
// The transform that applies q first, then p.
Affine operator*(const Affine& p, const Affine& q);

class Path {
public:
    Path& MoveTo(double x, double y);
    Path& LineTo(double x, double y);
    Path& QuadTo(double cx, double cy, double x, double y);
    Path& CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
    Path& Close();

    Path& Rect(double x, double y, double w, double h);
    Path& RoundRect(double x, double y, double w, double h, double r);
    Path& Ellipse(double cx, double cy, double rx, double ry);
    Path& Circle(double cx, double cy, double r) { return Ellipse(cx, cy, r, r); }
    Path& Polygon(const std::vector<Pt>& points);
    // A straight band of the given width from a to b with round or square ends.
    Path& Line(Pt a, Pt b, double width, bool roundCaps = true);

    Path& Append(const Path& other, const Affine& m = Affine());
    Path Transformed(const Affine& m) const;

    // Flattens the outline into closed polygons (device tolerance given in
    // the path's own units).
    std::vector<std::vector<Pt>> Flatten(double tolerance = 0.05) const;
    // Flips every contour to a positive signed area, so that overlapping
    // pieces unite under the nonzero rule. Only for shapes without holes.
    Path Normalized() const;
    bool IsEmpty() const { return ops.empty(); }

    void Bounds(double* x0, double* y0, double* x1, double* y1) const;

private:
    enum Kind : uint8_t { kMove, kLine, kQuad, kCubic, kClose };
    struct Op {
        Kind kind;
        Pt p[3];
    };
    std::vector<Op> ops;
};

// A stroked outline of a path: every flattened segment becomes a band and
// every joint a disc (round joins and caps). Open contours are not closed
// unless asked.
Path Stroke(const Path& path, double width, bool closed = false);

using Paint = std::function<Color(double x, double y)>;
Paint Solid(Color c);
Paint LinearGradient(Pt p0, Pt p1, Color c0, Color c1);
Paint RadialGradient(Pt centre, double radius, Color inner, Color outer);

class Canvas {
public:
    Canvas(int width, int height);
    int GetWidth() const { return w; }
    int GetHeight() const { return h; }

    void Fill(const Path& path, Color c) { Fill(path, Solid(c)); }
    void Fill(const Path& path, const Paint& paint);
    void FillAll(Color c);

    // Pixel-aligned clip rectangle for all drawing (default: whole canvas).
    void SetClip(int x0, int y0, int x1, int y1);
    void ResetClip() { SetClip(0, 0, w, h); }

    // Premultiplied access.
    const Color& At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
    Color& At(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    // Source-over of another canvas at (dx, dy), with a global opacity.
    void Draw(const Canvas& src, int dx, int dy, float opacity = 1.0f);
    // Sets pixel (x, y) to c exactly (straight colour, replaces).
    void Set(int x, int y, Color c);
    // Source-over of one straight-colour pixel with extra coverage.
    void Blend(int x, int y, Color c, float coverage);

private:
    int w, h;
    int cx0, cy0, cx1, cy1;
    std::vector<Color> px;
    std::vector<float> cover;
};

}  // namespace art
