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

QPainterPath pathThrough(const QPolygonF &points)
{
	QPainterPath path;
	path.addPolygon(points);
	return path;
}

} // namespace

void strokePolyline(QPainter &painter, const QPolygonF &points, const QPen &pen, double fromX, double toX)
{
	const int n = int(points.size());
	// Qt draws a two-point polyline as a line, not a path; pens up to a pixel
	// wide take its fast line drawing, which clipping would change. Neither
	// needs slicing.
	if (n <= 2 || pen.widthF() <= 1.0) {
		if (n > 0)
			painter.strokePath(pathThrough(points), pen);
		return;
	}
	const int overlap = sliceOverlap(pen);
	// A clip of the caller's own is kept by intersecting each slice with it;
	// without one, each slice simply replaces the last, which costs less.
	const bool callerClips = painter.hasClipping();
	painter.save();
	painter.setPen(pen);
	painter.setBrush(Qt::NoBrush);
	for (int first = 0; first < n - 1; first += kSlicePoints) {
		const int last = std::min(first + kSlicePoints, n - 1);
		// Slices meet at a point's x; the first and last reach out for the caps.
		const double left = first == 0 ? -kFar : points[first].x();
		const double right = last == n - 1 ? kFar : points[last].x();
		if (right <= fromX || left >= toX)
			continue;
		const int from = std::max(first - overlap, 0);
		const int to = std::min(last + overlap, n - 1);
		const QRectF columns(left, -kFar, right - left, 2 * kFar);
		if (callerClips) {
			painter.save();
			painter.setClipRect(columns, Qt::IntersectClip);
		} else {
			painter.setClipRect(columns, Qt::ReplaceClip);
		}
		painter.drawPolyline(points.constData() + from, to - from + 1);
		if (callerClips)
			painter.restore();
	}
	painter.restore();
}
