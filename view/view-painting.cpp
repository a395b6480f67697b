#include "waveform-view.hpp"

#include "view-geometry.hpp"
#include "view-style.hpp"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double kMeterRangeDb = 60.0; // the meter shows -60 to 0 dBFS
constexpr int kFrameRadius = 6;
// Distinct read-outs kept drawn; more than a steady signal comes back to.
constexpr qsizetype kReadoutsKept = 12;
// Pixels a glyph may reach beyond its text's advance.
constexpr double kGlyphOverhang = 8.0;
// The antialiased curve and its pen reach this far past the plot's edges.
constexpr int kCurveReach = 2;

double meterFraction(float db)
{
	return std::clamp((double(db) + kMeterRangeDb) / kMeterRangeDb, 0.0, 1.0);
}

QRect around(const QRectF &r, int margin)
{
	return r.toAlignedRect().adjusted(-margin, -margin, margin, margin);
}

} // namespace

void WaveformView::paintEvent(QPaintEvent *event)
{
	QPainter painter(this);
	painter.setRenderHint(QPainter::Antialiasing, false);
	const QRectF content = viewgeometry::content(width(), height());
	const QRect dirty = event->rect();
	drawFrame(painter, frame(content), event->region());
	if (picture.mode == ViewMode::Spectrum && dirty.intersects(around(content, kCurveReach)))
		paintSpectrum(painter, content, dirty);
	paintMeter(painter, viewgeometry::meter(content));
	paintOverlays(painter, content);
}

// The backdrop with the read-out and, in waveform mode, the lanes' strokes,
// which go straight into its pixels: through QPainter, filling one-pixel
// columns costs a call per row, most of a picture's time. The read-out goes
// first, as it lies under any stroke that overshoots the plot. Kept until one
// of them changes.
const QImage &WaveformView::frame(const QRectF &content)
{
	const QImage &base = backdrop();
	const QString readout = readoutText();
	const bool strokes = picture.mode == ViewMode::Waveform && strokesStale;
	if (!strokes && frameBackdrop == backdropBuilds && readout == frameReadout && picture.clipping == frameClipping)
		return frameImage;
	frameBackdrop = backdropBuilds;
	frameReadout = readout;
	frameClipping = picture.clipping;
	strokesStale = false;
	if (frameImage.size() != base.size() || frameImage.format() != base.format())
		frameImage = QImage(base.size(), base.format());
	std::memcpy(frameImage.bits(), base.constBits(), size_t(base.sizeInBytes()));
	frameImage.setDevicePixelRatio(base.devicePixelRatio());
	copyReadout(frameImage, readout);
	if (picture.mode == ViewMode::Waveform)
		forEachLane(content,
			    [&](const QRectF &lane, int channel, bool) { paintLane(frameImage, lane, channel); });
	return frameImage;
}

// Compares what the picture shows now with what the last snapshot showed and
// asks Qt for just those parts; the two views' requests of one tick still go
// out in one flush.
void WaveformView::scheduleRepaint(const MonitorSnapshot &was)
{
	const MonitorSnapshot &now = picture;
	// Waveform strokes may overshoot the plot: those pictures go whole.
	const bool whole = !pictureValid || now.mode != was.mode || now.stereo != was.stereo ||
			   (!now.changed.empty() && now.mode == ViewMode::Waveform);
	pictureValid = true;
	if (whole) {
		update();
		return;
	}
	const QRectF content = viewgeometry::content(width(), height());
	const QRect plot = around(content, kCurveReach);
	QRegion dirty;
	// A column's curve and fill reach into its neighbours' columns.
	const ColumnSpan &plotChanged = now.changed;
	if (!plotChanged.empty())
		dirty += QRect(int(content.left()) + plotChanged.first - kCurveReach, plot.top(),
			       plotChanged.last - plotChanged.first + 1 + 2 * kCurveReach, plot.height());
	const double markerWas = markerX(was), markerNow = markerX(now);
	if (markerNow != markerWas)
		for (double x : {markerNow, markerWas})
			if (x >= 0.0)
				dirty += QRect(int(std::floor(x)) - 1, plot.top(), 3, plot.height());
	if (readoutText(now) != readoutText(was) || now.clipping != was.clipping)
		dirty += QRect(0, 0, width(), viewgeometry::kHeaderHeight);
	if (meterFraction(now.rmsDb) != meterFraction(was.rmsDb) ||
	    meterFraction(now.peakDb) != meterFraction(was.peakDb))
		dirty += around(viewgeometry::meter(content), 1);
	if (now.waiting != was.waiting)
		dirty += around(content, 0);
	if (!dirty.isEmpty())
		update(dirty);
}

// Where a read-out text's pixels can lie on the backdrop, in device pixels:
// right-aligned in its rectangle, which clips it, and no wider than its
// advance and a few pixels of overhang.
QRect WaveformView::readoutPixels(const QString &text) const
{
	QRectF r = viewgeometry::readout(width());
	const double reach = QFontMetricsF(viewstyle::smallFont(font())).horizontalAdvance(text) + kGlyphOverhang;
	r.setLeft(std::max(r.left(), r.right() - reach));
	const qreal ratio = backdropCache.devicePixelRatio();
	return QRectF(r.topLeft() * ratio, r.size() * ratio).toAlignedRect() & backdropCache.rect();
}

// Shaping the read-out's text is most of what drawing it costs, and a steady
// signal's read-out keeps coming back to the same few texts: each is drawn
// once onto its strip of the backdrop, then copied.
void WaveformView::copyReadout(QImage &image, const QString &text)
{
	if (readoutsBackdrop != backdropBuilds || readouts.size() > kReadoutsKept) {
		readouts.clear();
		readoutsBackdrop = backdropBuilds;
	}
	const QString key = picture.clipping ? QStringLiteral("clip ") + text : text;
	auto strip = readouts.find(key);
	if (strip == readouts.end())
		strip = readouts.insert(key, drawReadoutStrip(text));
	const QRect &at = strip->at;
	const size_t rowBytes = size_t(at.width()) * 4;
	for (int y = 0; y < at.height(); y++)
		std::memcpy(image.scanLine(at.top() + y) + size_t(at.left()) * 4, strip->pixels.constScanLine(y),
			    rowBytes);
}

// Where the strip lies takes shaping the text too, so it is kept with it.
WaveformView::ReadoutStrip WaveformView::drawReadoutStrip(const QString &text) const
{
	ReadoutStrip strip;
	strip.at = readoutPixels(text);
	strip.pixels = backdropCache.copy(strip.at);
	const qreal ratio = backdropCache.devicePixelRatio();
	strip.pixels.setDevicePixelRatio(ratio);
	QPainter painter(&strip.pixels);
	painter.translate(-QPointF(strip.at.topLeft()) / ratio);
	paintReadout(painter, text);
	painter.end();
	return strip;
}

void WaveformView::paintReadout(QPainter &painter, const QString &text) const
{
	using namespace viewstyle;
	painter.setFont(smallFont(font()));
	painter.setPen(picture.clipping ? clipRed : dimText);
	painter.drawText(viewgeometry::readout(width()), Qt::AlignRight | Qt::AlignVCenter, text);
}

// The frame holds every pixel of the view, corners included: a copy. Qt
// copies an image straight only within a one-rectangle clip; within any other
// it blends it row by row and hands the rows to its thread pool. So each
// rectangle of what is repainted is copied on its own.
void WaveformView::drawFrame(QPainter &painter, const QImage &frame, const QRegion &dirty) const
{
	painter.setCompositionMode(QPainter::CompositionMode_Source);
	for (const QRect &r : dirty) {
		painter.setClipRect(r);
		painter.drawImage(QPointF(0, 0), frame);
	}
	painter.setClipping(false);
	painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The rounded frame alone is half the cost of a picture; what lies beneath
// the corners, frame, title, the plot's grid and labels and the meter's empty
// scale are therefore drawn once per size, font, title, mode, lane layout and
// place.
const QImage &WaveformView::backdrop()
{
	const BackdropKey key{size(),         devicePixelRatioF(),           font(),         title, picture.mode,
			      picture.stereo, mapTo(window(), QPoint(0, 0)), underlayChanges};
	if (key == backdropKey && !backdropCache.isNull())
		return backdropCache;
	backdropKey = key;
	backdropBuilds++;
	backdropCache = underlay();
	QPainter painter(&backdropCache);
	painter.setRenderHint(QPainter::Antialiasing, false);
	paintBackdrop(painter, viewgeometry::meter(viewgeometry::content(width(), height())));
	return backdropCache;
}

// What Qt would paint beneath the view if the view let it show: each ancestor
// drawn without its children, the window with its background. Nothing (clear)
// for a view that is a window itself.
QImage WaveformView::underlay() const
{
	const qreal ratio = devicePixelRatioF();
	QImage image(size() * ratio, QImage::Format_ARGB32_Premultiplied);
	image.setDevicePixelRatio(ratio);
	image.fill(Qt::transparent);
	QList<QWidget *> ancestors;
	for (QWidget *w = parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
		ancestors.prepend(w);
	for (QWidget *w : ancestors) {
		const QPoint at = mapTo(w, QPoint(0, 0));
		w->render(&image, QPoint(), QRegion(QRect(at, size())),
			  w->isWindow() ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
	}
	return image;
}

void WaveformView::paintBackdrop(QPainter &painter, const QRectF &meterRect) const
{
	using namespace viewstyle;
	const int w = width(), h = height();
	painter.setPen(linePen(frameLine));
	painter.setBrush(frameFill);
	painter.drawRoundedRect(viewgeometry::frame(w, h), kFrameRadius, kFrameRadius, Qt::AbsoluteSize);

	painter.setFont(titleFont(font()));
	painter.setPen(titleText);
	painter.drawText(viewgeometry::title(w), Qt::AlignLeft | Qt::AlignVCenter, title);

	// Grids lie under everything the plot draws; the read-out never meets them.
	painter.setFont(smallFont(font()));
	const QRectF content = viewgeometry::content(w, h);
	if (picture.mode == ViewMode::Spectrum)
		paintSpectrumGrid(painter, content);
	else
		forEachLane(content,
			    [&](const QRectF &lane, int, bool labels) { paintLaneGrid(painter, lane, labels); });

	// The meter's empty scale: the plot never reaches it, so it may come
	// before the plot.
	painter.fillRect(meterRect, meterBack);
	painter.setPen(linePen(frameLine));
	painter.setBrush(Qt::NoBrush);
	painter.drawRect(meterRect);
}

QString WaveformView::readoutText() const
{
	return readoutText(picture);
}

QString WaveformView::readoutText(const MonitorSnapshot &s)
{
	using viewstyle::formatDb;
	if (s.mode == ViewMode::Spectrum) {
		if (s.dominantHz > 0.0f)
			return QStringLiteral("%1 Hz   %2").arg(std::lroundf(s.dominantHz)).arg(formatDb(s.dominantDb));
		return QStringLiteral("\u2014");
	}
	return QStringLiteral("峰值 %1   有效值 %2").arg(formatDb(s.peakDb), formatDb(s.rmsDb));
}

void WaveformView::paintMeter(QPainter &painter, const QRectF &meterRect) const
{
	using namespace viewstyle;
	const double r = meterFraction(picture.rmsDb);
	const double p = meterFraction(picture.peakDb);
	const QRectF inner = meterRect.adjusted(1, 1, -1, -1);

	if (r > 0.0) {
		// The gradient spans the whole meter: green to -16.8 dB, yellow by
		// -7.2 dB, red at full scale; the bar reveals as much as it reaches.
		QLinearGradient gradient(0, inner.bottom(), 0, inner.top());
		gradient.setColorAt(0.0, meterGreen);
		gradient.setColorAt(0.72, meterGreen);
		gradient.setColorAt(0.88, meterYellow);
		gradient.setColorAt(1.0, clipRed);
		const double barHeight = inner.height() * r;
		painter.fillRect(QRectF(inner.left(), inner.bottom() - barHeight, inner.width(), barHeight), gradient);
	}
	if (p > 0.0) {
		const double y = inner.bottom() - inner.height() * p;
		painter.setPen(linePen(picture.peakDb >= meter::kClipPeakDb ? clipRed : peakLine));
		painter.drawLine(QPointF(inner.left(), y), QPointF(inner.right(), y));
	}
}

void WaveformView::paintOverlays(QPainter &painter, const QRectF &content) const
{
	using namespace viewstyle;
	if (picture.waiting) {
		painter.setFont(smallFont(font()));
		painter.setPen(dimText);
		painter.drawText(content, Qt::AlignCenter, QStringLiteral("等待音频信号…"));
	}
	if (picture.clipping) {
		painter.setFont(badgeFont(font()));
		painter.setPen(clipRed);
		painter.drawText(viewgeometry::badge(content), Qt::AlignRight | Qt::AlignVCenter,
				 QStringLiteral("CLIP"));
	}
}
