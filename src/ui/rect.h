// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Screen rectangles as the dashboard uses them: left, top, right, bottom in
// pixels, right and bottom exclusive.

#include <algorithm>

namespace wp2 {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool contains(Point p) const { return contains(p.x, p.y); }

    Rect intersected(const Rect& o) const {
        Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
               std::min(bottom, o.bottom)};
        return r.isEmpty() ? Rect{} : r;
    }
    bool intersects(const Rect& o) const { return !intersected(o).isEmpty(); }
    // Smallest rectangle holding both; an empty rectangle adds nothing.
    Rect united(const Rect& o) const {
        if (isEmpty()) {
            return o;
        }
        if (o.isEmpty()) {
            return *this;
        }
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    Rect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect inflated(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace wp2
