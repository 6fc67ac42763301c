#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {
constexpr int kSubRows = 16;
constexpr double kPi = 3.14159265358979323846;
// Cubic approximation of a quarter circle.
constexpr double kKappa = 0.5522847498307936;

double SignedArea(const std::vector<Pt>& poly) {
    double area = 0;
    for (size_t i = 0, n = poly.size(); i < n; ++i) {
        const Pt& p = poly[i];
        const Pt& q = poly[(i + 1) % n];
        area += p.x * q.y - q.x * p.y;
    }
    return area / 2;
}

double Dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }
}  // namespace

Color Rgb(int r, int g, int b, float a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }

Color Mix(const Color& x, const Color& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

Color WithAlpha(Color c, float a) {
    c.a = a;
    return c;
}

Affine Affine::Rotate(double radians) {
    double s = std::sin(radians), c = std::cos(radians);
    return {c, s, -s, c, 0, 0};
}

Affine Affine::RotateAbout(double radians, double cx, double cy) {
    return Translate(cx, cy) * Rotate(radians) * Translate(-cx, -cy);
}

Affine operator*(const Affine& p, const Affine& q) {
    return {p.a * q.a + p.c * q.b,       p.b * q.a + p.d * q.b,       p.a * q.c + p.c * q.d,
            p.b * q.c + p.d * q.d,       p.a * q.e + p.c * q.f + p.e, p.b * q.e + p.d * q.f + p.f};
}

Path& Path::MoveTo(double x, double y) {
    ops.push_back({kMove, {{x, y}, {}, {}}});
    return *this;
}
Path& Path::LineTo(double x, double y) {
    ops.push_back({kLine, {{x, y}, {}, {}}});
    return *this;
}
Path& Path::QuadTo(double cx, double cy, double x, double y) {
    ops.push_back({kQuad, {{cx, cy}, {x, y}, {}}});
    return *this;
}
Path& Path::CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) {
    ops.push_back({kCubic, {{c1x, c1y}, {c2x, c2y}, {x, y}}});
    return *this;
}
Path& Path::Close() {
    ops.push_back({kClose, {}});
    return *this;
}

Path& Path::Rect(double x, double y, double w, double h) {
    return MoveTo(x, y).LineTo(x + w, y).LineTo(x + w, y + h).LineTo(x, y + h).Close();
}

Path& Path::RoundRect(double x, double y, double w, double h, double r) {
    r = std::min(r, std::min(w, h) / 2);
    if (r <= 0) return Rect(x, y, w, h);
    double k = r * (1 - kKappa);
    MoveTo(x + r, y).LineTo(x + w - r, y).CubicTo(x + w - k, y, x + w, y + k, x + w, y + r);
    LineTo(x + w, y + h - r).CubicTo(x + w, y + h - k, x + w - k, y + h, x + w - r, y + h);
    LineTo(x + r, y + h).CubicTo(x + k, y + h, x, y + h - k, x, y + h - r);
    LineTo(x, y + r).CubicTo(x, y + k, x + k, y, x + r, y);
    return Close();
}

Path& Path::Ellipse(double cx, double cy, double rx, double ry) {
    double kx = rx * kKappa, ky = ry * kKappa;
    MoveTo(cx + rx, cy);
    CubicTo(cx + rx, cy + ky, cx + kx, cy + ry, cx, cy + ry);
    CubicTo(cx - kx, cy + ry, cx - rx, cy + ky, cx - rx, cy);
    CubicTo(cx - rx, cy - ky, cx - kx, cy - ry, cx, cy - ry);
    CubicTo(cx + kx, cy - ry, cx + rx, cy - ky, cx + rx, cy);
    return Close();
}

Path& Path::Polygon(const std::vector<Pt>& points) {
    if (points.empty()) return *this;
    MoveTo(points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) LineTo(points[i].x, points[i].y);
    return Close();
}

Path& Path::Line(Pt a, Pt b, double width, bool roundCaps) {
    double len = Dist(a, b);
    if (len <= 0) return Circle(a.x, a.y, width / 2);
    double nx = -(b.y - a.y) / len * width / 2, ny = (b.x - a.x) / len * width / 2;
    double ex = 0, ey = 0;
    if (!roundCaps) {
        ex = (b.x - a.x) / len * width / 2;
        ey = (b.y - a.y) / len * width / 2;
    }
    Polygon({{a.x + nx - ex, a.y + ny - ey},
             {b.x + nx + ex, b.y + ny + ey},
             {b.x - nx + ex, b.y - ny + ey},
             {a.x - nx - ex, a.y - ny - ey}});
    if (roundCaps) {
        Circle(a.x, a.y, width / 2);
        Circle(b.x, b.y, width / 2);
    }
    return *this;
}

Path& Path::Append(const Path& other, const Affine& m) {
    for (const Op& op : other.ops) {
        Op t = op;
        for (Pt& p : t.p) p = m.Apply(p);
        ops.push_back(t);
    }
    return *this;
}

Path Path::Transformed(const Affine& m) const {
    Path out;
    out.Append(*this, m);
    return out;
}

std::vector<std::vector<Pt>> Path::Flatten(double tolerance) const {
    std::vector<std::vector<Pt>> out;
    std::vector<Pt> cur;
    Pt last{};
    auto finish = [&]() {
        if (cur.size() >= 2) out.push_back(cur);
        cur.clear();
    };
    auto steps = [&](double len) {
        return std::max(2, std::min(256, static_cast<int>(std::ceil(std::sqrt(len / tolerance)))));
    };
    for (const Op& op : ops) {
        switch (op.kind) {
        case kMove:
            finish();
            cur.push_back(op.p[0]);
            last = op.p[0];
            break;
        case kLine:
            if (cur.empty()) cur.push_back(last);
            cur.push_back(op.p[0]);
            last = op.p[0];
            break;
        case kQuad: {
            if (cur.empty()) cur.push_back(last);
            Pt p0 = last, c = op.p[0], p1 = op.p[1];
            int n = steps(Dist(p0, c) + Dist(c, p1));
            for (int i = 1; i <= n; ++i) {
                double t = static_cast<double>(i) / n, u = 1 - t;
                cur.push_back({u * u * p0.x + 2 * u * t * c.x + t * t * p1.x,
                               u * u * p0.y + 2 * u * t * c.y + t * t * p1.y});
            }
            last = p1;
            break;
        }
        case kCubic: {
            if (cur.empty()) cur.push_back(last);
            Pt p0 = last, c1 = op.p[0], c2 = op.p[1], p1 = op.p[2];
            int n = steps(Dist(p0, c1) + Dist(c1, c2) + Dist(c2, p1));
            for (int i = 1; i <= n; ++i) {
                double t = static_cast<double>(i) / n, u = 1 - t;
                double a = u * u * u, b = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
                cur.push_back({a * p0.x + b * c1.x + cc * c2.x + d * p1.x,
                               a * p0.y + b * c1.y + cc * c2.y + d * p1.y});
            }
            last = p1;
            break;
        }
        case kClose:
            if (!cur.empty()) last = cur.front();
            finish();
            break;
        }
    }
    finish();
    return out;
}

Path Path::Normalized() const {
    Path out;
    for (auto& poly : Flatten(0.01)) {
        if (SignedArea(poly) < 0) std::reverse(poly.begin(), poly.end());
        out.Polygon(poly);
    }
    return out;
}

void Path::Bounds(double* x0, double* y0, double* x1, double* y1) const {
    *x0 = *y0 = 1e30;
    *x1 = *y1 = -1e30;
    for (const auto& poly : Flatten(0.01)) {
        for (const Pt& p : poly) {
            *x0 = std::min(*x0, p.x);
            *y0 = std::min(*y0, p.y);
            *x1 = std::max(*x1, p.x);
            *y1 = std::max(*y1, p.y);
        }
    }
}

Path Stroke(const Path& path, double width, bool closed) {
    Path out;
    for (const auto& poly : path.Flatten(0.01)) {
        size_t n = poly.size(), segments = closed ? n : n - 1;
        for (size_t i = 0; i < segments; ++i) out.Line(poly[i], poly[(i + 1) % n], width, true);
    }
    return out.Normalized();
}

Paint Solid(Color c) {
    return [c](double, double) { return c; };
}

Paint LinearGradient(Pt p0, Pt p1, Color c0, Color c1) {
    double dx = p1.x - p0.x, dy = p1.y - p0.y, len2 = dx * dx + dy * dy;
    return [=](double x, double y) {
        double t = len2 > 0 ? ((x - p0.x) * dx + (y - p0.y) * dy) / len2 : 0;
        return Mix(c0, c1, static_cast<float>(std::clamp(t, 0.0, 1.0)));
    };
}

Paint RadialGradient(Pt centre, double radius, Color inner, Color outer) {
    return [=](double x, double y) {
        double t = std::hypot(x - centre.x, y - centre.y) / radius;
        return Mix(inner, outer, static_cast<float>(std::clamp(t, 0.0, 1.0)));
    };
}

Canvas::Canvas(int width, int height)
    : w(width), h(height), cx0(0), cy0(0), cx1(width), cy1(height),
      px(static_cast<size_t>(width) * height), cover(static_cast<size_t>(width) + 2) {}

void Canvas::SetClip(int x0, int y0, int x1, int y1) {
    cx0 = std::clamp(x0, 0, w);
    cy0 = std::clamp(y0, 0, h);
    cx1 = std::clamp(x1, cx0, w);
    cy1 = std::clamp(y1, cy0, h);
}

void Canvas::FillAll(Color c) {
    for (int y = cy0; y < cy1; ++y)
        for (int x = cx0; x < cx1; ++x) Set(x, y, c);
}

void Canvas::Set(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    At(x, y) = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

void Canvas::Blend(int x, int y, Color c, float coverage) {
    if (x < cx0 || y < cy0 || x >= cx1 || y >= cy1) return;
    float a = c.a * coverage;
    if (a <= 0) return;
    Color& d = At(x, y);
    d.r = c.r * a + d.r * (1 - a);
    d.g = c.g * a + d.g * (1 - a);
    d.b = c.b * a + d.b * (1 - a);
    d.a = a + d.a * (1 - a);
}

void Canvas::Draw(const Canvas& src, int dx, int dy, float opacity) {
    for (int y = 0; y < src.h; ++y) {
        for (int x = 0; x < src.w; ++x) {
            int tx = x + dx, ty = y + dy;
            if (tx < cx0 || ty < cy0 || tx >= cx1 || ty >= cy1) continue;
            Color s = src.At(x, y);
            s.r *= opacity;
            s.g *= opacity;
            s.b *= opacity;
            s.a *= opacity;
            Color& d = At(tx, ty);
            d.r = s.r + d.r * (1 - s.a);
            d.g = s.g + d.g * (1 - s.a);
            d.b = s.b + d.b * (1 - s.a);
            d.a = s.a + d.a * (1 - s.a);
        }
    }
}

void Canvas::Fill(const Path& path, const Paint& paint) {
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    double ymin = 1e30, ymax = -1e30;
    for (const auto& poly : path.Flatten(0.02)) {
        for (size_t i = 0, n = poly.size(); i < n; ++i) {
            Pt a = poly[i], b = poly[(i + 1) % n];
            if (a.y == b.y) continue;
            int dir = b.y > a.y ? 1 : -1;
            if (dir < 0) std::swap(a, b);
            edges.push_back({a.x, a.y, b.x, b.y, dir});
            ymin = std::min(ymin, a.y);
            ymax = std::max(ymax, b.y);
        }
    }
    if (edges.empty()) return;
    int row0 = std::max(cy0, static_cast<int>(std::floor(ymin)));
    int row1 = std::min(cy1, static_cast<int>(std::ceil(ymax)));
    std::vector<const Edge*> active;
    std::vector<std::pair<double, int>> xs;
    for (int py = row0; py < row1; ++py) {
        active.clear();
        for (const Edge& e : edges)
            if (e.y0 < py + 1 && e.y1 > py) active.push_back(&e);
        if (active.empty()) continue;
        int minX = cx1, maxX = cx0 - 1;
        std::fill(cover.begin(), cover.end(), 0.0f);
        for (int k = 0; k < kSubRows; ++k) {
            double ys = py + (k + 0.5) / kSubRows;
            xs.clear();
            for (const Edge* e : active) {
                if (ys < e->y0 || ys >= e->y1) continue;
                double x = e->x0 + (ys - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0);
                xs.push_back({x, e->dir});
            }
            std::sort(xs.begin(), xs.end());
            int winding = 0;
            double start = 0;
            for (const auto& [x, dir] : xs) {
                int before = winding;
                winding += dir;
                if (before == 0 && winding != 0) {
                    start = x;
                } else if (before != 0 && winding == 0) {
                    double a = std::max(start, static_cast<double>(cx0));
                    double b = std::min(x, static_cast<double>(cx1));
                    if (b <= a) continue;
                    int ia = static_cast<int>(std::floor(a)), ib = static_cast<int>(std::floor(b));
                    minX = std::min(minX, ia);
                    maxX = std::max(maxX, std::min(ib, cx1 - 1));
                    for (int ix = ia; ix <= ib && ix < cx1; ++ix) {
                        double o = std::min(b, ix + 1.0) - std::max(a, static_cast<double>(ix));
                        if (o > 0) cover[ix] += static_cast<float>(o / kSubRows);
                    }
                }
            }
        }
        for (int x = minX; x <= maxX; ++x) {
            float c = std::min(1.0f, cover[x]);
            if (c <= 0) continue;
            Blend(x, py, paint(x + 0.5, py + 0.5), c);
        }
    }
}

}  // namespace art
