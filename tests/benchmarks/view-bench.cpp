// CPU cost of the two views per frame: the tick (drain, metering, analysis) and
// the paint, for 48 kHz stereo audio, at three sizes and in both modes, at the
// screen's device pixel ratio (QT_SCALE_FACTOR=2 gives 2). Paint
// time is the whole process's CPU time, so that work Qt hands to its thread
// pool is counted too. The two taps take turns at one stream of tones, so each
// view hears them broken every 33 ms: a spectrum with energy in every column
// and a jagged curve, the costly case for painting it.
#include "audio/sample-tap.hpp"
#include "view/waveform-view.hpp"

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr int kRoundFrames = 100;        // three seconds of display at 30 Hz
constexpr uint32_t kBlock = 1600;        // 33 ms of audio at 48 kHz
constexpr double kFrameMicros = 33333.0; // one display frame

double cpuMicros(clockid_t clock)
{
	timespec ts;
	clock_gettime(clock, &ts);
	return ts.tv_sec * 1e6 + ts.tv_nsec / 1e3;
}

struct Round {
	double tick = 0, paint = 0, paintHere = 0;                                 // microseconds per view and frame
	double share() const { return 100.0 * 2 * (tick + paint) / kFrameMicros; } // both views, % of a core
};

void feed(SampleTap &tap, uint64_t &phase)
{
	std::vector<float> l(kBlock), r(kBlock);
	for (uint32_t i = 0; i < kBlock; i++, phase++) {
		l[i] = 0.5f * float(std::sin(2.0 * std::numbers::pi * 1000.0 * double(phase) / 48000.0));
		r[i] = 0.5f * float(std::sin(2.0 * std::numbers::pi * 220.0 * double(phase) / 48000.0));
	}
	const float *planes[] = {l.data(), r.data()};
	tap.push(planes, 2, kBlock, 1.0f);
}

void measure(ViewMode mode, int w, int h)
{
	SampleTap taps[2];
	StreamMonitor monitors[2] = {StreamMonitor(&taps[0]), StreamMonitor(&taps[1])};
	WaveformView views[2];
	QImage images[2];
	QElapsedTimer clock;
	clock.start();
	for (int v = 0; v < 2; v++) {
		views[v].resize(w, h);
		views[v].setTitle(v ? "Master mix" : "Demo tone");
		monitors[v].setMode(mode);
		views[v].show(); // a view nobody sees analyses nothing
		const qreal ratio = views[v].devicePixelRatioF();
		images[v] = QImage(QSize(w, h) * ratio, QImage::Format_ARGB32_Premultiplied);
		images[v].setDevicePixelRatio(ratio);
	}
	uint64_t phase = 0;
	// Rounds of frames; this machine's speed drifts, so the best round is the
	// figure and the median shows the spread.
	std::vector<Round> rounds(kRounds);
	for (Round &round : rounds) {
		for (int f = 0; f < kRoundFrames; f++) {
			for (SampleTap &tap : taps)
				feed(tap, phase);
			const double t0 = cpuMicros(CLOCK_THREAD_CPUTIME_ID);
			const TickTime now{clock.elapsed(), clock.elapsed()};
			for (int v = 0; v < 2; v++)
				views[v].setSnapshot(monitors[v].tick(now, views[v].plotColumns(), true));
			const double t1 = cpuMicros(CLOCK_THREAD_CPUTIME_ID);
			for (QImage &image : images)
				image.fill(Qt::transparent);
			const double p0 = cpuMicros(CLOCK_PROCESS_CPUTIME_ID), q0 = cpuMicros(CLOCK_THREAD_CPUTIME_ID);
			for (int v = 0; v < 2; v++)
				views[v].render(&images[v], QPoint(), QRegion(), QWidget::DrawChildren);
			const double p1 = cpuMicros(CLOCK_PROCESS_CPUTIME_ID), q1 = cpuMicros(CLOCK_THREAD_CPUTIME_ID);
			round.tick += (t1 - t0) / kRoundFrames / 2;
			round.paint += (p1 - p0) / kRoundFrames / 2;
			round.paintHere += (q1 - q0) / kRoundFrames / 2;
		}
	}
	std::sort(rounds.begin(), rounds.end(), [](const Round &a, const Round &b) { return a.share() < b.share(); });
	const Round &best = rounds.front();
	printf("%-9s %4dx%-4d DPR %.0f  tick %6.1f us  paint %6.1f us (%6.1f us on this thread)  per view and frame; "
	       "both views at 30 Hz: %5.2f %% of a core (median round %5.2f %%)\n",
	       mode == ViewMode::Spectrum ? "spectrum" : "waveform", w, h, views[0].devicePixelRatioF(), best.tick,
	       best.paint, best.paintHere, best.share(), rounds[rounds.size() / 2].share());
}

} // namespace

int main(int argc, char **argv)
{
	if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QApplication app(argc, argv);
	// For profilers: "spectrum" or "waveform" measures that mode alone, and a
	// second argument such as 500x220 that size alone.
	const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
	const QString onlySize = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
	for (ViewMode mode : {ViewMode::Spectrum, ViewMode::Waveform}) {
		if (!only.isEmpty() && only != (mode == ViewMode::Spectrum ? "spectrum" : "waveform"))
			continue;
		// Each view at the dock's default docked size, and two larger ones.
		for (QSize size : {QSize(284, 126), QSize(500, 220), QSize(1000, 440)}) {
			if (onlySize.isEmpty() ||
			    onlySize == QStringLiteral("%1x%2").arg(size.width()).arg(size.height()))
				measure(mode, size.width(), size.height());
		}
	}
	return 0;
}
