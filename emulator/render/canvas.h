#pragma once
// A one-bit page of printer dots, one byte a dot (0 white, 1 black), rows
// added as the paper moves on. Writes outside the width are dropped, as a
// print head has no dots there.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace render {

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height) : m_width(width), m_height(height), m_dots(std::size_t(width) * height, 0) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool dot(int x, int y) const { return inside(x, y) && m_dots[index(x, y)] != 0; }
    void set(int x, int y, bool black = true)
    {
        if (inside(x, y))
            m_dots[index(x, y)] = black ? 1 : 0;
    }
    // Makes the page at least this tall.
    void growTo(int height)
    {
        if (height > m_height) {
            m_height = height;
            m_dots.resize(std::size_t(m_width) * m_height, 0);
        }
    }
    // ORs `source` onto this canvas with its top left corner at (x, y),
    // dropping what lies right of `right`.
    void paint(const Canvas& source, int x, int y, int right = std::numeric_limits<int>::max())
    {
        const int fromX = std::max(0, -x), toX = std::min({source.width(), m_width - x, right - x});
        const int fromY = std::max(0, -y), toY = std::min(source.height(), m_height - y);
        for (int sy = fromY; sy < toY; ++sy) {
            const std::uint8_t* in = source.row(sy);
            std::uint8_t* out = m_dots.data() + index(x, y + sy);
            for (int sx = fromX; sx < toX; ++sx)
                out[sx] |= in[sx];
        }
    }
    const std::uint8_t* row(int y) const { return m_dots.data() + std::size_t(y) * m_width; }
    std::uint8_t* row(int y) { return m_dots.data() + std::size_t(y) * m_width; }

private:
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    std::size_t index(int x, int y) const { return std::size_t(y) * m_width + x; }

    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_dots;
};

}  // namespace render
