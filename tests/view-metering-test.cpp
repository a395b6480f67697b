#include "audio/sample-tap.hpp"
#include "support/view-driver.hpp"
#include "monitor/level-meter.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPaintEvent>

#include <cmath>
#include <numbers>

namespace {

void push(SampleTap &tap, std::vector<float> left, std::vector<float> right = {})
{
	const float *planes[] = {left.data(), right.empty() ? nullptr : right.data()};
	tap.push(planes, right.empty() ? 1 : 2, uint32_t(left.size()), 1.0f);
}

// The monitor on clocks of the test's own: both advance by each tick's step.
class MonitorTick : public ::testing::Test {
protected:
	static constexpr int kPlotWidth = 462;
	// The next tick comes this long after the previous one (0: no time at all).
	bool tickAfter(double seconds, bool shown = true)
	{
		const int64_t step = int64_t(seconds * 1000.0 + 0.5);
		now.monotonicMs += step;
		now.wallMs += step;
		return !monitor.tick(now, kPlotWidth, shown).changed.empty(); // whether the plot changed
	}
	// What the monitor's analysis of ring (oldest at pos) must show, by the
	// literal algorithm, after the analyses literal already made.
	std::vector<float> columnsOf(SpectrumAnalyser &literal, const std::vector<float> &ring, int pos, double dt)
	{
		literal.analyse(ring, pos, 48000, dt);
		SpectrumColumns columns;
		columns.update(literal.levels(), kPlotWidth, 48000);
		return columns.levels();
	}

	SampleTap tap;
	StreamMonitor monitor{&tap};
	TickTime now{0, 1700000000000};
	const MonitorSnapshot &a = monitor.snapshot();
};

} // namespace

TEST(LevelMeter, StereoBlocksShareOneRmsAndMonoBlocksUseTheLeftOnly)
{
	const std::vector<float> half(480, 0.5f), zero(480, 0.0f);
	const meter::BlockLevels stereo = meter::measureBlock(half, zero, true);
	EXPECT_NEAR(stereo.peakDb, -6.0206f, 0.001f);
	EXPECT_NEAR(stereo.rmsDb, -9.0309f, 0.001f);
	const meter::BlockLevels mono = meter::measureBlock(half, zero, false);
	EXPECT_NEAR(mono.peakDb, -6.0206f, 0.001f);
	EXPECT_NEAR(mono.rmsDb, -6.0206f, 0.001f);
	const meter::BlockLevels silent = meter::measureBlock(zero, zero, true);
	EXPECT_EQ(silent.peakDb, -120.0f);
	EXPECT_EQ(silent.rmsDb, -120.0f);
}

TEST(LevelMeter, FallingStopsAtTheFloor)
{
	EXPECT_FLOAT_EQ(meter::fall(-10.0f, 24.0, 0.5), -22.0f);
	EXPECT_EQ(meter::fall(-110.0f, 24.0, 1.0), -120.0f);
}

TEST_F(MonitorTick, FullScaleReadsZeroDbAndClipsAtThreeNinesButNotBelow)
{
	push(tap, {0.25f, -1.0f, 0.5f});
	tickAfter(0);
	EXPECT_FLOAT_EQ(a.peakDb, 0.0f);
	EXPECT_TRUE(a.clipping);

	monitor.reset();
	push(tap, {0.999f});
	tickAfter(0);
	EXPECT_TRUE(a.clipping);

	monitor.reset();
	push(tap, {0.998f, -0.998f});
	tickAfter(0);
	EXPECT_FALSE(a.clipping);
}

TEST_F(MonitorTick, TheHeldLevelFallsInTheSameTickAsTheBlock)
{
	push(tap, std::vector<float>(480, 1.0f));
	tickAfter(0.1);
	EXPECT_NEAR(a.peakDb, -2.4f, 0.05f);
	EXPECT_NEAR(a.rmsDb, -2.0f, 0.05f);
}

TEST_F(MonitorTick, AStereoBlockIsMeteredOverBothChannels)
{
	push(tap, std::vector<float>(480, 0.5f), std::vector<float>(480, 0.0f));
	tickAfter(0);
	EXPECT_TRUE(a.stereo);
	EXPECT_NEAR(a.peakDb, -6.02f, 0.01f);
	EXPECT_NEAR(a.rmsDb, -9.03f, 0.01f);
}

TEST_F(MonitorTick, SilenceFallsAtTwentyFourAndTwentyDbPerSecondToTheFloor)
{
	push(tap, std::vector<float>(480, 1.0f));
	tickAfter(0);
	push(tap, std::vector<float>(480, 0.0f));
	tickAfter(0.5);
	EXPECT_NEAR(a.peakDb, -12.0f, 0.05f);
	EXPECT_NEAR(a.rmsDb, -10.0f, 0.05f);
	tickAfter(0.5); // nothing drained at all
	EXPECT_NEAR(a.peakDb, -24.0f, 0.1f);
	EXPECT_NEAR(a.rmsDb, -20.0f, 0.1f);
	for (int i = 0; i < 12; i++)
		tickAfter(0.5);
	EXPECT_EQ(a.peakDb, -120.0f);
	EXPECT_EQ(a.rmsDb, -120.0f);
}

TEST_F(MonitorTick, ATickAfterAStallOfMoreThanASecondNeitherFallsNorReleasesTheClip)
{
	push(tap, std::vector<float>(480, 1.0f));
	tickAfter(0);
	tickAfter(1.5);
	EXPECT_FLOAT_EQ(a.peakDb, 0.0f);
	EXPECT_TRUE(a.clipping);
	tickAfter(0.05); // the next ordinary tick lets go
	EXPECT_FALSE(a.clipping);
}

TEST_F(MonitorTick, TheClipStaysLitWhileAudioKeepsComingAndGoesOutAfterItStops)
{
	push(tap, {1.0f});
	tickAfter(0);
	for (int i = 0; i < 8; i++) { // four seconds of quiet audio
		push(tap, std::vector<float>(480, 0.01f));
		tickAfter(0.5);
	}
	EXPECT_TRUE(a.clipping);
	tickAfter(0.6);
	tickAfter(0.6);
	EXPECT_TRUE(a.clipping) << "not before 1200 ms without audio";
	tickAfter(0.03);
	EXPECT_FALSE(a.clipping);
}

// The analysis sees a mono mix of both channels, in the order the samples
// came, and the ring wraps after the analysis length: the columns are those
// of the literal analysis of the ring that makes.
TEST_F(MonitorTick, TheRingTakesAMonoMixAndWrapsAfterFullAnalysisLength)
{
	std::vector<float> ring(StreamMonitor::kRingSize, 0.1f);
	ring[0] = 0.5f, ring[1] = 0.25f, ring[2] = 0.375f, ring[3] = 0.0f;
	push(tap, {0.5f, 0.25f});
	tickAfter(0);
	push(tap, {0.5f, 1.0f}, {0.25f, -1.0f});
	tickAfter(0);
	EXPECT_FALSE(a.spectrumReady);
	push(tap, std::vector<float>(StreamMonitor::kRingSize - 4, 0.1f));
	tickAfter(0);
	ASSERT_TRUE(a.spectrumReady);
	SpectrumAnalyser literal;
	EXPECT_EQ(a.columns, columnsOf(literal, ring, 0, 0.0));

	push(tap, {0.75f});
	tickAfter(0);
	ring[0] = 0.75f;
	EXPECT_EQ(a.columns, columnsOf(literal, ring, 1, 0.0));
}

// While nobody sees the view the ring fills but nothing is transformed; the
// first tick it is seen again analyses the newest samples, even without new
// audio, as the literal step would with the fall of the ticks it skipped.
TEST_F(MonitorTick, NoTransformRunsUnseenAndTheFirstSeenTickIsCurrent)
{
	std::vector<float> low(StreamMonitor::kRingSize), high(StreamMonitor::kRingSize);
	for (size_t i = 0; i < low.size(); i++) {
		low[i] = 0.5f * float(std::sin(2.0 * std::numbers::pi * 1000.0 * double(i) / 48000.0));
		high[i] = 0.5f * float(std::sin(2.0 * std::numbers::pi * 5000.0 * double(i) / 48000.0));
	}
	push(tap, low);
	EXPECT_FALSE(tickAfter(0.03, false));
	push(tap, high);
	EXPECT_FALSE(tickAfter(0.03, false));
	EXPECT_FALSE(a.spectrumReady);
	EXPECT_EQ(a.dominantHz, 0.0f);

	EXPECT_TRUE(tickAfter(0.03, true));
	SpectrumAnalyser literal;
	EXPECT_EQ(a.columns, columnsOf(literal, high, 0, 0.06));
	EXPECT_EQ(a.dominantHz, literal.dominantHz);
	EXPECT_NEAR(a.dominantHz, 5000.0f, 6.0f);
	EXPECT_FALSE(tickAfter(0.03, true)) << "no new audio, nothing new to analyse";
}

TEST_F(MonitorTick, WaveformModeLeavesTheRingAlone)
{
	monitor.setMode(ViewMode::Waveform);
	push(tap, std::vector<float>(StreamMonitor::kRingSize, 0.5f));
	tickAfter(0);
	EXPECT_FALSE(a.spectrumReady);
	EXPECT_TRUE(a.columns.empty());
	EXPECT_FALSE(a.waiting);
	EXPECT_FALSE(a.waveform.empty());
}

TEST_F(MonitorTick, ChangingTheModeResetsAndTheSameModeKeepsEverything)
{
	push(tap, std::vector<float>(StreamMonitor::kRingSize, 0.5f));
	tickAfter(0);
	EXPECT_FALSE(monitor.setMode(ViewMode::Spectrum));
	EXPECT_NEAR(a.peakDb, -6.02f, 0.01f);
	EXPECT_TRUE(a.spectrumReady);

	EXPECT_TRUE(monitor.setMode(ViewMode::Waveform));
	EXPECT_EQ(a.mode, ViewMode::Waveform);
	EXPECT_EQ(a.peakDb, -120.0f);
	EXPECT_FALSE(a.spectrumReady);
	EXPECT_TRUE(a.waveform.empty());
}

TEST(StreamMonitor, WithoutATapNothingChangesAndItWaits)
{
	StreamMonitor monitor;
	for (int64_t t = 1000; t <= 2000; t += 500) {
		const MonitorSnapshot &s = monitor.tick({t, t}, 462, true);
		EXPECT_TRUE(s.changed.empty());
		EXPECT_TRUE(s.waiting);
		EXPECT_EQ(s.peakDb, -120.0f);
	}
}

// The parts of a 300 x 120 view: plot (10, 28, 262, 72), meter (281, 28, 9, 72).
TEST(ViewCore, ATickRepaintsOnlyWhatChanged)
{
	WaveformView view;
	ViewDriver a{view};
	view.resize(300, 120);
	view.show();
	QCoreApplication::processEvents();

	struct PaintLog : QObject {
		QList<QRect> rects;
		bool eventFilter(QObject *, QEvent *e) override
		{
			if (e->type() == QEvent::Paint)
				rects << static_cast<QPaintEvent *>(e)->rect();
			return false;
		}
	} log;
	view.installEventFilter(&log);
	auto paintAfter = [&](auto step) {
		log.rects.clear();
		step();
		QCoreApplication::processEvents();
		return log.rects;
	};
	auto tickAndPaint = [&](double seconds) {
		return paintAfter([&] { a.tickAfter(seconds); });
	};
	auto showAndPaint = [&] {
		return paintAfter([&] { view.setSnapshot(a.snapshot); });
	};
	EXPECT_EQ(tickAndPaint(0.03), QList<QRect>{view.rect()}) << "the first tick after showing repaints all";
	EXPECT_TRUE(tickAndPaint(0.03).isEmpty()) << "nothing new: no repaint";
	a.snapshot.peakDb = -10.0f;
	EXPECT_EQ(showAndPaint(), QList<QRect>{QRect(280, 27, 11, 74)}) << "a new level: the meter alone";

	a.push(std::vector<float>(9000, 0.0f));
	const QList<QRect> audio = tickAndPaint(0.03);
	ASSERT_EQ(audio.size(), 1);
	EXPECT_EQ(audio[0], QRect(0, 0, 300, 102)) << "the first analysis: the read-out and the plot";
	a.push(std::vector<float>(1600, 0.0f));
	EXPECT_TRUE(tickAndPaint(0.03).isEmpty()) << "more silence changes no pixel";
	EXPECT_EQ(tickAndPaint(0.8), QList<QRect>{QRect(10, 28, 262, 72)}) << "the waiting message returns";

	view.setTitle(QString()); // the panel sets it again every half second
	EXPECT_TRUE(tickAndPaint(0.03).isEmpty());
	view.setTitle("Tone");
	EXPECT_EQ(tickAndPaint(0.03), QList<QRect>{view.rect()});
}

TEST(ViewCore, SizesAndDefaults)
{
	WaveformView view;
	EXPECT_EQ(view.sizeHint(), QSize(280, 160));
	EXPECT_EQ(view.minimumSizeHint(), QSize(240, 90));
	EXPECT_EQ(view.minimumHeight(), 80);
	EXPECT_EQ(view.snapshot().mode, ViewMode::Spectrum);
	EXPECT_EQ(view.snapshot().peakDb, -120.0f);
}
