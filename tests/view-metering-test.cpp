#include "audio/sample-tap.hpp"
#include "support/view-test-access.hpp"
#include "monitor/level-meter.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPaintEvent>

#include <cmath>

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
	void SetUp() override { monitor.attachTap(&tap); }
	// The next tick comes this long after the previous one (0: no time at all).
	bool tickAfter(double seconds, bool shown = true)
	{
		const int64_t step = int64_t(seconds * 1000.0 + 0.5);
		now.monotonicMs += step;
		now.wallMs += step;
		if (seconds == 0.0)
			monitor.lastTickMs = now.monotonicMs + 1;     // a negative step counts as none
		return !monitor.tick(now, kPlotWidth, shown).empty(); // whether the plot changed
	}
	void audioAgo(int64_t ms) { monitor.lastAudioMs = now.wallMs - ms; }

	SampleTap tap;
	StreamMonitor monitor;
	TickTime now{0, 1700000000000};
	StreamMonitor &a = monitor;
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
	audioAgo(5000);
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
	audioAgo(1100);
	tickAfter(0.03);
	EXPECT_TRUE(a.clipping) << "not before 1200 ms without audio";
	audioAgo(1300);
	tickAfter(0.03);
	EXPECT_FALSE(a.clipping);
}

TEST_F(MonitorTick, TheRingTakesAMonoMixAndWrapsAfterFullAnalysisLength)
{
	push(tap, {0.5f, 0.25f});
	tickAfter(0);
	EXPECT_EQ(a.ring[0], 0.5f);
	EXPECT_EQ(a.ring[1], 0.25f);
	push(tap, {0.5f, 1.0f}, {0.25f, -1.0f});
	tickAfter(0);
	EXPECT_EQ(a.ring[2], 0.375f);
	EXPECT_EQ(a.ring[3], 0.0f);
	EXPECT_EQ(a.ringPos, 4);

	push(tap, std::vector<float>(StreamMonitor::kRingSize - 4, 0.1f));
	tickAfter(0);
	EXPECT_EQ(a.ringFill, uint64_t(StreamMonitor::kRingSize));
	EXPECT_EQ(a.ringPos, 0);
	push(tap, {0.75f});
	tickAfter(0);
	EXPECT_EQ(a.ringFill, uint64_t(StreamMonitor::kRingSize));
	EXPECT_EQ(a.ring[0], 0.75f);
	EXPECT_EQ(a.ringPos, 1);
}

// While nobody sees the view the ring fills but nothing is transformed; the
// first tick it is seen again analyses the newest samples, even without new
// audio, as the literal step would with the fall of the ticks it skipped.
TEST_F(MonitorTick, NoTransformRunsUnseenAndTheFirstSeenTickIsCurrent)
{
	std::vector<float> low(StreamMonitor::kRingSize), high(StreamMonitor::kRingSize);
	for (size_t i = 0; i < low.size(); i++) {
		low[i] = 0.5f * float(std::sin(2.0 * M_PI * 1000.0 * double(i) / 48000.0));
		high[i] = 0.5f * float(std::sin(2.0 * M_PI * 5000.0 * double(i) / 48000.0));
	}
	push(tap, low);
	EXPECT_FALSE(tickAfter(0.03, false));
	push(tap, high);
	EXPECT_FALSE(tickAfter(0.03, false));
	EXPECT_EQ(a.ringFill, uint64_t(StreamMonitor::kRingSize));
	EXPECT_EQ(a.analyser.dominantHz, 0.0f);

	EXPECT_TRUE(tickAfter(0.03, true));
	SpectrumAnalyser literal;
	literal.analyse(a.ring, a.ringPos, 48000, 0.06);
	EXPECT_EQ(a.analyser.levels(), literal.levels());
	EXPECT_NEAR(a.analyser.dominantHz, 5000.0f, 6.0f);
	EXPECT_FALSE(tickAfter(0.03, true)) << "no new audio, nothing new to analyse";
}

TEST_F(MonitorTick, WaveformModeLeavesTheRingAlone)
{
	monitor.setMode(ViewMode::Waveform);
	push(tap, {0.5f, 0.5f});
	tickAfter(0);
	EXPECT_EQ(a.ringFill, 0u);
	EXPECT_GT(a.lastAudioMs, 0);
}

TEST_F(MonitorTick, ChangingTheModeResetsAndTheSameModeKeepsEverything)
{
	push(tap, {0.5f});
	tickAfter(0);
	monitor.setMode(ViewMode::Spectrum);
	EXPECT_NEAR(a.peakDb, -6.02f, 0.01f);
	EXPECT_EQ(a.ringFill, 1u);

	monitor.setMode(ViewMode::Waveform);
	EXPECT_EQ(a.mode, ViewMode::Waveform);
	EXPECT_EQ(a.peakDb, -120.0f);
	EXPECT_EQ(a.ringFill, 0u);
}

TEST(StreamMonitor, WithoutATapTheLevelsStayAndNothingChanges)
{
	StreamMonitor monitor;
	monitor.peakDb = -10.0f;
	monitor.rmsDb = -12.0f;
	for (int64_t t = 500; t <= 1500; t += 500)
		EXPECT_TRUE(monitor.tick({t, t}, 462, true).empty());
	EXPECT_EQ(monitor.peakDb, -10.0f);
	EXPECT_EQ(monitor.rmsDb, -12.0f);
}

// The parts of a 300 x 120 view: plot (10, 28, 262, 72), meter (281, 28, 9, 72).
TEST(ViewCore, ATickRepaintsOnlyWhatChanged)
{
	SampleTap tap;
	WaveformView view;
	WaveformViewTestAccess a{view};
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
	auto tickAndPaint = [&](double seconds) {
		log.rects.clear();
		a.tickAfter(seconds);
		QCoreApplication::processEvents();
		return log.rects;
	};
	a.neverHeardAudio();
	EXPECT_EQ(tickAndPaint(0.03), QList<QRect>{view.rect()}) << "the first tick after showing repaints all";
	EXPECT_TRUE(tickAndPaint(0.03).isEmpty()) << "no tap, nothing new: no repaint";
	a.peakDb() = -10.0f;
	EXPECT_EQ(tickAndPaint(0.03), QList<QRect>{QRect(280, 27, 11, 74)}) << "a new level: the meter alone";

	view.attachTap(&tap);
	push(tap, std::vector<float>(9000, 0.0f));
	const QList<QRect> audio = tickAndPaint(0.03);
	ASSERT_EQ(audio.size(), 1);
	EXPECT_EQ(audio[0], view.rect()) << "a new tap: all of it";
	push(tap, std::vector<float>(1600, 0.0f));
	EXPECT_TRUE(tickAndPaint(0.03).isEmpty()) << "more silence changes no pixel";
	a.audioAgo(800);
	EXPECT_EQ(tickAndPaint(0.03), QList<QRect>{QRect(10, 28, 262, 72)}) << "the waiting message returns";

	view.setTitle(QString()); // the panel sets it again every half second
	EXPECT_TRUE(tickAndPaint(0.03).isEmpty());
	view.setTitle("Tone");
	EXPECT_EQ(tickAndPaint(0.03), QList<QRect>{view.rect()});
}

TEST(ViewCore, SizesAndDefaults)
{
	WaveformView view;
	WaveformViewTestAccess a{view};
	EXPECT_EQ(view.sizeHint(), QSize(280, 160));
	EXPECT_EQ(view.minimumSizeHint(), QSize(240, 90));
	EXPECT_EQ(view.minimumHeight(), 80);
	EXPECT_EQ(a.mode(), ViewMode::Spectrum);
	EXPECT_EQ(a.accent(), QColor(61, 213, 152));
	EXPECT_EQ(a.peakDb(), -120.0f);
	EXPECT_EQ(a.ring().size(), size_t(StreamMonitor::kRingSize));
}
