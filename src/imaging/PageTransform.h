#pragma once
// How a page's stored pixels map onto the page as shown: one of the eight quarter-turn rotations and
// mirrorings. It combines the file's Orientation tag with the turns the user asked for, so that turning a
// page never touches its pixels: rendering maps the wanted part back into stored coordinates, scales
// there, and lays the small result out in the shown orientation.

#include <QRect>
#include <QSize>

namespace imaging {

class PageTransform
{
public:
    PageTransform() = default;
    // The TIFF Orientation tag (1-8; anything else counts as 1).
    static PageTransform FromOrientationTag(int tag);
    // Rotate-flip types 0-7: quarter turns clockwise, 4-7 followed by a horizontal flip.
    static PageTransform FromRotateFlip(int type);

    // `after` applied to the page as this transform shows it.
    PageTransform Then(const PageTransform& after) const;

    bool Transposes() const { return m_transpose; }
    bool IsIdentity() const { return !m_transpose && !m_flipX && !m_flipY; }

    // Sizes: stored -> shown and back.
    QSize Shown(QSize stored) const { return m_transpose ? stored.transposed() : stored; }
    QSize Stored(QSize shown) const { return m_transpose ? shown.transposed() : shown; }

    // The stored rectangle whose pixels show as `shown` on a shown page of size `shownSize`.
    QRect StoredRect(QRect shown, QSize shownSize) const;

    // Position on the shown page (size `shownSize`) of stored pixel (u, v).
    void ToShown(int u, int v, QSize shownSize, int* x, int* y) const
    {
        const int a = m_transpose ? v : u;
        const int b = m_transpose ? u : v;
        *x = m_flipX ? shownSize.width() - 1 - a : a;
        *y = m_flipY ? shownSize.height() - 1 - b : b;
    }

    bool operator==(const PageTransform& o) const
    {
        return m_transpose == o.m_transpose && m_flipX == o.m_flipX && m_flipY == o.m_flipY;
    }

private:
    PageTransform(bool t, bool fx, bool fy) : m_transpose(t), m_flipX(fx), m_flipY(fy) {}
    // Stored (u, v) -> first transposed when m_transpose, then mirrored left-right and/or top-bottom.
    bool m_transpose = false;
    bool m_flipX = false;
    bool m_flipY = false;
};

} // namespace imaging
