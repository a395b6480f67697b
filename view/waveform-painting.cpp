#include "waveform-view.hpp"

#include "view-style.hpp"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLaneGap = 8.0;   // between the two lanes of a stereo picture
constexpr double kLaneInset = 2.0; // above full scale and below its negative
constexpr float kOverRange = 1.2f; // strokes beyond full scale show this far at most

struct LaneScale {
	double centre;
	double half;
	double y(double v) const { return centre - v * half; }
};

// The pixels Qt paints for an aliased one-pixel line from (x, top) down to
// (x, bottom): rows floor(top) to floor(bottom). A test holds the two equal.
QRect strokeRect(double x, double top, double bottom)
{
	const int first = int(std::floor(top));
	return QRect(int(std::floor(x)), first, 1, int(std::floor(bottom)) - first + 1);
}

// x * a / 255 for each of the four 8-bit channels of x, rounded the way
// QPainter's own blending rounds.
inline uint byteMul(uint x, uint a)
{
	uint t = (x & 0xff00ff) * a;
	t = ((t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
	x = ((x >> 8) & 0xff00ff) * a;
	x = (x + ((x >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
	return x | t;
}

// Writes solid rectangles straight into an image's pixels, as QPainter's
// aliased fillRect would, without its cost of a call for every row.
class StrokeWriter {
public:
	explicit StrokeWriter(QImage &image)
		: bits(image.bits()), stride(image.bytesPerLine()), bounds(image.rect()),
		  ratio(image.devicePixelRatio())
	{
	}

	void fill(const QRect &r, QRgb premultiplied) const
	{
		const QRect device =
			QRect(QPoint(qRound(r.left() * ratio), qRound(r.top() * ratio)),
			      QPoint(qRound((r.right() + 1) * ratio) - 1, qRound((r.bottom() + 1) * ratio) - 1)) &
			bounds;
		const uint keep = 255 - qAlpha(premultiplied);
		for (int y = device.top(); y <= device.bottom(); y++) {
			auto *row = reinterpret_cast<QRgb *>(bits + y * stride);
			for (int x = device.left(); x <= device.right(); x++)
				row[x] = keep ? premultiplied + byteMul(row[x], keep) : premultiplied;
		}
	}

private:
	uchar *bits;
	qsizetype stride;
	QRect bounds;
	qreal ratio;
};

QRgb premultipliedOf(const QColor &color)
{
	return color.rgba64().premultiplied().toArgb32();
}

LaneScale scaleOf(const QRectF &lane)
{
	return {lane.top() + lane.height() * 0.5, lane.height() * 0.5 - kLaneInset};
}

} // namespace

// One lane for a mono picture; two for stereo, the lower one for channel 1
// and without labels.
void WaveformView::forEachLane(const QRectF &content, const LanePainter &paint) const
{
	if (!picture.stereo) {
		paint(content, 0, true);
		return;
	}
	const double laneHeight = (content.height() - kLaneGap) * 0.5;
	paint(QRectF(content.left(), content.top(), content.width(), laneHeight), 0, true);
	paint(QRectF(content.left(), content.top() + laneHeight + kLaneGap, content.width(), laneHeight), 1, false);
}

void WaveformView::paintLaneGrid(QPainter &painter, const QRectF &lane, bool labels) const
{
	using namespace viewstyle;
	if (lane.height() <= 1)
		return;
	const LaneScale scale = scaleOf(lane);
	for (double v : {1.0, 0.5, 0.25, 0.0, -0.25, -0.5, -1.0}) {
		painter.setPen(linePen(v == 0.0 ? zeroLine : gridLine));
		painter.drawLine(QPointF(lane.left(), scale.y(v)), QPointF(lane.right(), scale.y(v)));
	}
	if (!labels)
		return;
	painter.setFont(scaleFont(painter.font(), font()));
	painter.setPen(dimText);
	const double x = lane.left() + 3;
	const Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
	painter.drawText(QRectF(x, scale.centre - scale.half - 1, 40, 12), align, QStringLiteral("0 dB"));
	painter.drawText(QRectF(x, scale.centre - scale.half * 0.5 - 6, 40, 12), align, QStringLiteral("-6"));
	painter.drawText(QRectF(x, scale.centre + scale.half * 0.5 - 6, 40, 12), align, QStringLiteral("-6"));
}

// The newest columns of one channel as min-to-max strokes, newest at the right.
void WaveformView::paintLane(QImage &image, const QRectF &lane, int channel) const
{
	using namespace viewstyle;
	if (lane.height() <= 1)
		return;
	const std::vector<WaveColumn> &history = picture.waveform;
	const int n = std::min<int>(std::max(int(lane.width()), 1), int(history.size()));
	if (n <= 0)
		return;
	const LaneScale scale = scaleOf(lane);
	const double x0 = lane.right() - n;
	const size_t first = history.size() - size_t(n);
	const StrokeWriter writer(image);
	const QRgb accent = premultipliedOf(accentColor), clip = premultipliedOf(clipRed);
	for (int i = 0; i < n; i++) {
		const WaveColumn &column = history[first + size_t(i)];
		const float lo = channel ? column.minR : column.minL;
		const float hi = channel ? column.maxR : column.maxL;
		const double yTop = scale.y(std::clamp(hi, -kOverRange, kOverRange));
		const double yBot = std::max(yTop + 1, scale.y(std::clamp(lo, -kOverRange, kOverRange)));
		const bool clipped = hi >= meter::kClipPeak || lo <= -meter::kClipPeak; // drawn red
		writer.fill(strokeRect(x0 + i, yTop, yBot), clipped ? clip : accent);
	}
}
