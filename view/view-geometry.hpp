#pragma once

#include <QRectF>

#include <algorithm>

// Where a view of w x h pixels draws each of its parts.
namespace viewgeometry {

inline QRectF frame(int w, int h)
{
	return QRectF(0.5, 0.5, w - 1, h - 1);
}

inline QRectF title(int w)
{
	return QRectF(10, 5, w - 160, 18);
}

inline QRectF readout(int w)
{
	return QRectF(10, 5, w - 20, 18);
}

// The title, read-out and badge row above the plot.
constexpr int kHeaderHeight = 28;

// The plot: a 10 px left margin, the header, 20 px below for frequency
// labels, and on the right a 9 px gap, the 9 px meter and a 10 px margin.
inline QRectF content(int w, int h)
{
	return QRectF(10, kHeaderHeight, std::max(w - 38, 1), std::max(h - kHeaderHeight - 20, 1));
}

inline QRectF meter(const QRectF &content)
{
	return QRectF(content.right() + 9, content.top(), 9, content.height());
}

inline QRectF badge(const QRectF &content)
{
	return QRectF(content.right() - 44, 5, 40, 18);
}

} // namespace viewgeometry
