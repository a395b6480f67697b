#include "waveform-view.hpp"

#include "audio/sample-tap.hpp"
#include "level-meter.hpp"
#include "view-geometry.hpp"

#include <QDateTime>

#include <algorithm>

namespace {

constexpr int kMinimumHeight = 80;
// A tick this long after the previous one follows a stall: no decay on it.
constexpr double kMaxTickSeconds = 1.0;
// The clip light stays on until audio has been absent this long.
constexpr qint64 kClipReleaseMs = 1200;

} // namespace

WaveformView::WaveformView(QWidget *parent) : QWidget(parent), ring(kRingSize, 0.0f)
{
	setAttribute(Qt::WA_OpaquePaintEvent, false);
	setMinimumHeight(kMinimumHeight);
	clock.start();
	lastTickMs = clock.elapsed();
}

WaveformView::~WaveformView() = default;

QSize WaveformView::sizeHint() const
{
	return QSize(280, 160);
}

QSize WaveformView::minimumSizeHint() const
{
	return QSize(240, 90);
}

void WaveformView::resizeEvent(QResizeEvent *event)
{
	QWidget::resizeEvent(event);
	updateColumnWidth();
	update();
}

void WaveformView::reset()
{
	history.clear();
	peakDb = rmsDb = meter::kSilenceDb;
	clipping = false;
	std::fill(ring.begin(), ring.end(), 0.0f);
	ringPos = 0;
	ringFill = 0;
	analyser.reset();
}

void WaveformView::setMode(ViewMode m)
{
	if (m == mode)
		return;
	mode = m;
	reset();
	update();
}

void WaveformView::attachTap(SampleTap *t)
{
	tap = t;
	reset();
}

void WaveformView::setAccentColor(const QColor &color)
{
	accentColor = color;
	update();
}

void WaveformView::setTitle(const QString &text)
{
	title = text;
	update();
}

void WaveformView::tick()
{
	const qint64 now = clock.elapsed();
	double dt = double(now - lastTickMs) / 1000.0;
	lastTickMs = now;
	if (dt < 0.0 || dt > kMaxTickSeconds)
		dt = 0.0;

	if (tap) {
		bool drainedStereo = false;
		tap->drain(drainLeft, drainRight, drainedStereo);
		const uint32_t rate = tap->sampleRate();
		sampleRate = rate ? rate : SampleTap::kDefaultRateHz;
		if (!drainLeft.empty()) {
			measure(drainedStereo);
			if (mode == ViewMode::Waveform) {
				updateColumnWidth();
				history.push(drainLeft, drainRight, contentWidth());
			} else {
				feedRing();
				analyseSpectrum(dt);
			}
			lastAudioMs = QDateTime::currentMSecsSinceEpoch();
		}
		fallAndRelease(dt);
	}
	update();
}

void WaveformView::measure(bool drainedStereo)
{
	stereo = drainedStereo;
	const meter::BlockLevels block = meter::measureBlock(drainLeft, drainRight, drainedStereo);
	// A hold: quieter blocks never lower the levels, only the fall does.
	peakDb = std::max(peakDb, block.peakDb);
	rmsDb = std::max(rmsDb, block.rmsDb);
	if (block.peak >= meter::kClipPeak)
		clipping = true;
}

// The spectrum analyses a mono mix of whatever both channels delivered.
void WaveformView::feedRing()
{
	for (size_t i = 0; i < drainLeft.size(); i++) {
		float s = drainLeft[i];
		if (i < drainRight.size())
			s = (s + drainRight[i]) * 0.5f;
		ring[size_t(ringPos)] = s;
		ringPos = (ringPos + 1) % kRingSize;
		ringFill = std::min<uint64_t>(ringFill + 1, kRingSize);
	}
}

void WaveformView::analyseSpectrum(double dt)
{
	if (ringFill < uint64_t(kRingSize))
		return;
	analyser.analyse(ring, ringPos, sampleRate, dt);
}

int WaveformView::contentWidth() const
{
	return int(viewgeometry::content(width(), height()).width());
}

void WaveformView::updateColumnWidth()
{
	history.updateColumnWidth(contentWidth(), sampleRate, kHistorySeconds);
}

void WaveformView::fallAndRelease(double dt)
{
	if (dt <= 0.0)
		return;
	peakDb = meter::fall(peakDb, meter::kPeakFallDbPerSecond, dt);
	rmsDb = meter::fall(rmsDb, meter::kRmsFallDbPerSecond, dt);
	if (clipping && QDateTime::currentMSecsSinceEpoch() - lastAudioMs > kClipReleaseMs)
		clipping = false;
}
