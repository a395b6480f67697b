#include "waveform-view.hpp"

#include "curve-stroke.hpp"
#include "view-geometry.hpp"
#include "view-style.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

using spectrumaxis::kDecades;
using spectrumaxis::kLowHz;
constexpr double kPlotDepthDb = -double(SpectrumAnalyser::kSpectrumFloorDb); // 0 dB at the top, the floor at the bottom
constexpr double kLabelWidth = 34.0;
// Columns beyond a repaint's edges where a partial fill of the area is closed.
constexpr int kFillMargin = 2;

double freqToX(const QRectF &r, double hz)
{
	return r.left() + r.width() * std::clamp(std::log(hz / kLowHz) / kDecades, 0.0, 1.0);
}

double levelToY(const QRectF &r, double db)
{
	return r.top() + r.height() * std::clamp(-db, 0.0, kPlotDepthDb) / kPlotDepthDb;
}

} // namespace

// Where the dominant frequency's dashed line stands, or -1 while there is none.
double WaveformView::markerX(const MonitorSnapshot &s) const
{
	const float hz = s.dominantHz;
	if (s.mode != ViewMode::Spectrum || !s.spectrumReady || hz <= 0.0f)
		return -1.0;
	return freqToX(viewgeometry::content(width(), height()), hz);
}

void WaveformView::paintSpectrumGrid(QPainter &painter, const QRectF &r) const
{
	using namespace viewstyle;
	painter.setFont(scaleFont(painter.font(), font()));
	for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
		painter.setPen(linePen(freqGridLine));
		const double x = freqToX(r, hz);
		painter.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
	}
	for (int db : {0, -20, -40, -60, -80}) {
		const double y = levelToY(r, db);
		painter.setPen(linePen(db == 0 ? zeroLine : gridLine));
		painter.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
		if (db == 0)
			continue;
		painter.setPen(dimText);
		painter.drawText(QRectF(r.left() + 2, y - 10, 40, 10), Qt::AlignLeft | Qt::AlignVCenter,
				 QString::number(db));
	}
	painter.setPen(dimText);
	const std::pair<double, const char *> labels[] = {{20, "20"}, {100, "100"}, {1000, "1k"}, {10000, "10k"}};
	for (const auto &[hz, text] : labels) {
		// Centred under its line unless that leaves the plot; the right edge
		// wins in a plot narrower than a label.
		const double x =
			std::min(std::max(freqToX(r, hz) - kLabelWidth / 2, r.left()), r.right() - kLabelWidth);
		painter.drawText(QRectF(x, r.bottom() + 2, kLabelWidth, 14), Qt::AlignCenter,
				 QString::fromLatin1(text));
	}
}

// The smoothed levels as the loudest bin under each pixel column, over a
// translucent fill, with the dominant frequency marked.
void WaveformView::paintSpectrum(QPainter &painter, const QRectF &r, const QRect &dirty)
{
	using namespace viewstyle;
	const std::vector<float> &levels = picture.columns;
	// Until the owner's next snapshot after a resize, the columns it has.
	const int n = std::min(std::max(int(r.width()), 1), int(levels.size()));
	if (!picture.spectrumReady || n == 0)
		return;
	QPolygonF curve;
	curve.reserve(n);
	for (int i = 0; i < n; i++)
		curve << QPointF(r.left() + i, levelToY(r, levels[size_t(i)]));
	// The area under the curve is the region below a graph: within the
	// columns a repaint covers it is the same whether it is closed at the
	// plot's ends or just outside those columns, so only they are filled.
	const int first = std::clamp(dirty.left() - int(r.left()) - kFillMargin, 0, n - 1);
	const int last = std::clamp(dirty.right() - int(r.left()) + kFillMargin, first, n - 1);
	QPainterPath area;
	area.moveTo(curve[first].x(), r.bottom());
	for (int i = first; i <= last; i++)
		area.lineTo(curve[i]);
	area.lineTo(last == n - 1 ? r.right() : curve[last].x(), r.bottom());
	area.closeSubpath();

	QLinearGradient gradient(0, r.top(), 0, r.bottom());
	auto accent = [&](int alpha) {
		QColor c = accentColor;
		c.setAlpha(alpha);
		return c;
	};
	gradient.setColorAt(0.0, accent(170));
	gradient.setColorAt(0.55, accent(80));
	gradient.setColorAt(1.0, accent(15));
	painter.fillPath(area, gradient);

	painter.setRenderHint(QPainter::Antialiasing, true);
	strokePolyline(painter, curve, linePen(accentColor, 1.2), dirty.left(), dirty.right() + 1);
	// Skipped when the repaint does not reach it.
	const double x = markerX(picture);
	if (x >= 0.0 && dirty.left() <= int(x) + 1 && dirty.right() >= int(x) - 1) {
		QColor colour = titleText;
		colour.setAlpha(110);
		marker.paint(painter, x, r.top(), r.bottom(), linePen(colour, 1.0, Qt::DashLine));
	}
	painter.setRenderHint(QPainter::Antialiasing, false);
}
