#include "imaging/PageTransform.h"

namespace imaging {

namespace {

// The transform as a signed permutation matrix acting on coordinates around the page centre.
struct Matrix
{
    int a, b, c, d; // [a b; c d]
};

Matrix ToMatrix(bool t, bool fx, bool fy)
{
    Matrix m = t ? Matrix{0, 1, 1, 0} : Matrix{1, 0, 0, 1};
    if (fx) {
        m.a = -m.a;
        m.b = -m.b;
    }
    if (fy) {
        m.c = -m.c;
        m.d = -m.d;
    }
    return m;
}

} // namespace

PageTransform PageTransform::FromOrientationTag(int tag)
{
    switch (tag) {
    case 2: // row 0 at the top, column 0 at the right
        return {false, true, false};
    case 3: // bottom right
        return {false, true, true};
    case 4: // bottom left
        return {false, false, true};
    case 5: // row 0 is the left column, column 0 the top row
        return {true, false, false};
    case 6: // row 0 is the right column: shown a quarter turn clockwise
        return {true, true, false};
    case 7: // row 0 the right column, column 0 the bottom row
        return {true, true, true};
    case 8: // row 0 the left column, column 0 the bottom row: a quarter turn anticlockwise
        return {true, false, true};
    default:
        return {};
    }
}

PageTransform PageTransform::FromRotateFlip(int type)
{
    PageTransform r;
    switch (type & 3) {
    case 1:
        r = {true, true, false};
        break;
    case 2:
        r = {false, true, true};
        break;
    case 3:
        r = {true, false, true};
        break;
    default:
        break;
    }
    if (type & 4) {
        r = r.Then(PageTransform(false, true, false));
    }
    return r;
}

PageTransform PageTransform::Then(const PageTransform& after) const
{
    const Matrix m1 = ToMatrix(m_transpose, m_flipX, m_flipY);
    const Matrix m2 = ToMatrix(after.m_transpose, after.m_flipX, after.m_flipY);
    const Matrix m = {m2.a * m1.a + m2.b * m1.c, m2.a * m1.b + m2.b * m1.d, m2.c * m1.a + m2.d * m1.c,
                      m2.c * m1.b + m2.d * m1.d};
    // m = F * P with P the (optional) transposition: a transposition has zeros on the diagonal.
    const bool t = m.a == 0;
    return t ? PageTransform(true, m.b < 0, m.c < 0) : PageTransform(false, m.a < 0, m.d < 0);
}

QRect PageTransform::StoredRect(QRect shown, QSize shownSize) const
{
    const int ax0 = m_flipX ? shownSize.width() - (shown.x() + shown.width()) : shown.x();
    const int by0 = m_flipY ? shownSize.height() - (shown.y() + shown.height()) : shown.y();
    const QRect ab(ax0, by0, shown.width(), shown.height());
    return m_transpose ? QRect(ab.y(), ab.x(), ab.height(), ab.width()) : ab;
}

} // namespace imaging
