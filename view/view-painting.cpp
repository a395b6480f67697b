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
// A peak this close to the top of the meter is drawn as clipping.
constexpr double kMeterClipFraction = 0.999;

double meterFraction(float db)
{
	return std::clamp((double(db) + kMeterRangeDb) / kMeterRangeDb, 0.0, 1.0);
}

} // namespace

void WaveformView::paintEvent(QPaintEvent *)
{
	using namespace viewstyle;
	QPainter painter(this);
	painter.setRenderHint(QPainter::Antialiasing, false);
	const int w = width(), h = height();

	painter.setPen(linePen(frameLine));
	painter.setBrush(frameFill);
	painter.drawRoundedRect(viewgeometry::frame(w, h), 6, 6, Qt::AbsoluteSize);

	painter.setFont(titleFont(font()));
	painter.setPen(titleText);
	painter.drawText(viewgeometry::title(w), Qt::AlignLeft | Qt::AlignVCenter, title);

	painter.setFont(smallFont(font()));
	painter.setPen(clipping ? clipRed : dimText);
	painter.drawText(viewgeometry::readout(w), Qt::AlignRight | Qt::AlignVCenter, readoutText());

	const QRectF content = viewgeometry::content(w, h);
	paintMeter(painter, viewgeometry::meter(content));
	paintOverlays(painter, content);
}

QString WaveformView::readoutText() const
{
	using viewstyle::formatDb;
	if (mode == ViewMode::Spectrum) {
		if (dominantHz > 0.0f)
			return QStringLiteral("%1 Hz   %2").arg(std::lroundf(dominantHz)).arg(formatDb(dominantDb));
		return QStringLiteral("\u2014");
	}
	return QStringLiteral("峰值 %1   有效值 %2").arg(formatDb(peakDb), formatDb(rmsDb));
}

void WaveformView::paintMeter(QPainter &painter, const QRectF &meterRect) const
{
	using namespace viewstyle;
	painter.fillRect(meterRect, meterBack);
	painter.setPen(linePen(frameLine));
	painter.setBrush(Qt::NoBrush);
	painter.drawRect(meterRect);

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
