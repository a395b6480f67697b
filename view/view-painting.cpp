#include "waveform-view.hpp"

#include "view-geometry.hpp"
#include "view-style.hpp"

#include <QDateTime>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The waiting message returns this long after the last audio.
constexpr qint64 kWaitingAfterMs = 700;
constexpr double kMeterRangeDb = 60.0; // the meter shows -60 to 0 dBFS
constexpr int kFrameRadius = 6;
// A peak this close to the top of the meter is drawn as clipping.
constexpr double kMeterClipFraction = 0.999;

double meterFraction(float db)
{
	return std::clamp((double(db) + kMeterRangeDb) / kMeterRangeDb, 0.0, 1.0);
}

} // namespace

void WaveformView::paintEvent(QPaintEvent *)
{
	QPainter painter(this);
	painter.setRenderHint(QPainter::Antialiasing, false);
	const QRectF content = viewgeometry::content(width(), height());
	if (mode == ViewMode::Waveform) {
		drawFrame(painter, waveformFrame(content));
	} else {
		drawFrame(painter, backdrop());
		paintReadout(painter);
		paintSpectrum(painter, content);
	}
	paintMeter(painter, viewgeometry::meter(content));
	paintOverlays(painter, content);
}

void WaveformView::paintReadout(QPainter &painter) const
{
	using namespace viewstyle;
	painter.setFont(smallFont(font()));
	painter.setPen(clipping ? clipRed : dimText);
	painter.drawText(viewgeometry::readout(width()), Qt::AlignRight | Qt::AlignVCenter, readoutText());
}

// Only the rows with the rounded corners have transparent pixels; the band
// between them is opaque and is copied rather than blended.
void WaveformView::drawFrame(QPainter &painter, const QImage &frame) const
{
	const qreal ratio = frame.devicePixelRatio();
	const int w = width(), h = height();
	const int corner = std::min(kFrameRadius + 1, h / 2);
	auto copy = [&](int top, int rows) {
		painter.drawImage(QRectF(0, top, w, rows), frame, QRectF(0, top * ratio, w * ratio, rows * ratio));
	};
	copy(0, corner);
	copy(h - corner, corner);
	painter.setCompositionMode(QPainter::CompositionMode_Source);
	copy(corner, h - 2 * corner);
	painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// The rounded frame alone is half the cost of a picture; frame, title, the
// plot's grid and labels and the meter's empty scale are therefore drawn once
// per size, font, title, mode and lane layout.
const QImage &WaveformView::backdrop()
{
	const BackdropKey key{size(), devicePixelRatioF(), font(), title, mode, stereo};
	if (key == backdropKey && !backdropCache.isNull())
		return backdropCache;
	backdropKey = key;
	backdropCache = QImage(size() * key.pixelRatio, QImage::Format_ARGB32_Premultiplied);
	backdropCache.setDevicePixelRatio(key.pixelRatio);
	backdropCache.fill(Qt::transparent);
	QPainter painter(&backdropCache);
	painter.setRenderHint(QPainter::Antialiasing, false);
	paintBackdrop(painter, viewgeometry::meter(viewgeometry::content(width(), height())));
	return backdropCache;
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
	if (mode == ViewMode::Spectrum)
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
	using viewstyle::formatDb;
	if (mode == ViewMode::Spectrum) {
		if (analyser.dominantHz > 0.0f)
			return QStringLiteral("%1 Hz   %2")
				.arg(std::lroundf(analyser.dominantHz))
				.arg(formatDb(analyser.dominantDb));
		return QStringLiteral("\u2014");
	}
	return QStringLiteral("峰值 %1   有效值 %2").arg(formatDb(peakDb), formatDb(rmsDb));
}

void WaveformView::paintMeter(QPainter &painter, const QRectF &meterRect) const
{
	using namespace viewstyle;
	const double r = meterFraction(rmsDb);
	const double p = meterFraction(peakDb);
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
		painter.setPen(linePen(p >= kMeterClipFraction ? clipRed : peakLine));
		painter.drawLine(QPointF(inner.left(), y), QPointF(inner.right(), y));
	}
}

void WaveformView::paintOverlays(QPainter &painter, const QRectF &content) const
{
	using namespace viewstyle;
	if (QDateTime::currentMSecsSinceEpoch() - lastAudioMs > kWaitingAfterMs) {
		painter.setFont(smallFont(font()));
		painter.setPen(dimText);
		painter.drawText(content, Qt::AlignCenter, QStringLiteral("等待音频信号…"));
	}
	if (clipping) {
		painter.setFont(badgeFont(font()));
		painter.setPen(clipRed);
		painter.drawText(viewgeometry::badge(content), Qt::AlignRight | Qt::AlignVCenter,
				 QStringLiteral("CLIP"));
	}
}
