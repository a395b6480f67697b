#include "curve-stroke.hpp"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Qt's antialiasing rasterizer re-walks a path's whole outline for every band
// of rows its small cell pool can hold, so its cost grows with the product of
// a path's length and height. Stroked in slices of a few dozen points, each
// clipped to its own columns, a curve costs a third to a fifth as much.
constexpr int kSlicePoints = 16;

// Beyond any device the painter draws on.
constexpr double kFar = 1e6;

// Points a slice carries beyond its columns on either side, with points a
// pixel or more apart: enough that every pixel it keeps lies on the same
// segments and joins as in the whole line, and that its own end caps and
// outer joins stay out of its columns. For a 1.2-pixel pen, one.
int sliceOverlap(const QPen &pen)
{
	const double reach = pen.joinStyle() == Qt::MiterJoin ? pen.widthF() * std::max(pen.miterLimit(), 1.0)
							      : pen.widthF() * 0.5 * M_SQRT2;
	return int(std::floor(reach)) + 1;
}

QPainterPath pathThrough(const QPolygonF &points, int from, int to)
{
	QPainterPath path(points[from]);
	for (int i = from + 1; i <= to; i++)
		path.lineTo(points[i]);
	return path;
}

} // namespace

void strokePolyline(QPainter &painter, const QPolygonF &points, const QPen &pen)
{
	const int n = int(points.size());
	if (n == 0)
		return;
	// Pens up to a pixel wide take Qt's fast line drawing, which clipping
	// would change; they need no slicing.
	if (pen.widthF() <= 1.0) {
		painter.strokePath(pathThrough(points, 0, n - 1), pen);
		return;
	}
	const int overlap = sliceOverlap(pen);
	for (int first = 0; first < n - 1; first += kSlicePoints) {
		const int last = std::min(first + kSlicePoints, n - 1);
		// Slices meet at a point's x; the first and last reach out for the caps.
		const double left = first == 0 ? -kFar : points[first].x();
		const double right = last == n - 1 ? kFar : points[last].x();
		const int from = std::max(first - overlap, 0);
		const int to = std::min(last + overlap, n - 1);
		painter.save();
		painter.setClipRect(QRectF(left, -kFar, right - left, 2 * kFar), Qt::IntersectClip);
		painter.strokePath(pathThrough(points, from, to), pen);
		painter.restore();
	}
}
