#include "audio/sample-tap.hpp"
#include "support/view-test-access.hpp"
#include "view/level-meter.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

namespace {

void push(SampleTap &tap, std::vector<float> left, std::vector<float> right = {})
{
	const float *planes[] = {left.data(), right.empty() ? nullptr : right.data()};
	tap.push(planes, right.empty() ? 1 : 2, uint32_t(left.size()), 1.0f);
}

class ViewTick : public ::testing::Test {
protected:
	void SetUp() override { view.attachTap(&tap); }
	SampleTap tap;
	WaveformView view;
	WaveformViewTestAccess a{view};
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

TEST_F(ViewTick, FullScaleReadsZeroDbAndClipsAtThreeNinesButNotBelow)
{
	push(tap, {0.25f, -1.0f, 0.5f});
	a.tickAfter(0);
	EXPECT_FLOAT_EQ(a.peakDb(), 0.0f);
	EXPECT_TRUE(a.clipping());

	view.reset();
	push(tap, {0.999f});
	a.tickAfter(0);
	EXPECT_TRUE(a.clipping());

	view.reset();
	push(tap, {0.998f, -0.998f});
	a.tickAfter(0);
	EXPECT_FALSE(a.clipping());
}

TEST_F(ViewTick, TheHeldLevelFallsInTheSameTickAsTheBlock)
{
	push(tap, std::vector<float>(480, 1.0f));
	a.tickAfter(0.1);
	EXPECT_NEAR(a.peakDb(), -2.4f, 0.05f);
	EXPECT_NEAR(a.rmsDb(), -2.0f, 0.05f);
}

TEST_F(ViewTick, AStereoBlockIsMeteredOverBothChannels)
{
	push(tap, std::vector<float>(480, 0.5f), std::vector<float>(480, 0.0f));
	a.tickAfter(0);
	EXPECT_TRUE(a.stereo());
	EXPECT_NEAR(a.peakDb(), -6.02f, 0.01f);
	EXPECT_NEAR(a.rmsDb(), -9.03f, 0.01f);
}

TEST_F(ViewTick, SilenceFallsAtTwentyFourAndTwentyDbPerSecondToTheFloor)
{
	push(tap, std::vector<float>(480, 1.0f));
	a.tickAfter(0);
	push(tap, std::vector<float>(480, 0.0f));
	a.tickAfter(0.5);
	EXPECT_NEAR(a.peakDb(), -12.0f, 0.05f);
	EXPECT_NEAR(a.rmsDb(), -10.0f, 0.05f);
	a.tickAfter(0.5); // nothing drained at all
	EXPECT_NEAR(a.peakDb(), -24.0f, 0.1f);
	EXPECT_NEAR(a.rmsDb(), -20.0f, 0.1f);
	for (int i = 0; i < 12; i++)
		a.tickAfter(0.5);
	EXPECT_EQ(a.peakDb(), -120.0f);
	EXPECT_EQ(a.rmsDb(), -120.0f);
}

TEST_F(ViewTick, ATickAfterAStallOfMoreThanASecondNeitherFallsNorReleasesTheClip)
{
	push(tap, std::vector<float>(480, 1.0f));
	a.tickAfter(0);
	a.audioAgo(5000);
	a.tickAfter(1.5);
	EXPECT_FLOAT_EQ(a.peakDb(), 0.0f);
	EXPECT_TRUE(a.clipping());
	a.tickAfter(0.05); // the next ordinary tick lets go
	EXPECT_FALSE(a.clipping());
}

TEST_F(ViewTick, TheClipStaysLitWhileAudioKeepsComingAndGoesOutAfterItStops)
{
	push(tap, {1.0f});
	a.tickAfter(0);
	for (int i = 0; i < 8; i++) { // four seconds of quiet audio
		push(tap, std::vector<float>(480, 0.01f));
		a.tickAfter(0.5);
	}
	EXPECT_TRUE(a.clipping());
	a.audioAgo(1100);
	a.tickAfter(0.03);
	EXPECT_TRUE(a.clipping()) << "not before 1200 ms without audio";
	a.audioAgo(1300);
	a.tickAfter(0.03);
	EXPECT_FALSE(a.clipping());
}

TEST_F(ViewTick, TheRingTakesAMonoMixAndWrapsAfterFullAnalysisLength)
{
	push(tap, {0.5f, 0.25f});
	a.tickAfter(0);
	EXPECT_EQ(a.ring()[0], 0.5f);
	EXPECT_EQ(a.ring()[1], 0.25f);
	push(tap, {0.5f, 1.0f}, {0.25f, -1.0f});
	a.tickAfter(0);
	EXPECT_EQ(a.ring()[2], 0.375f);
	EXPECT_EQ(a.ring()[3], 0.0f);
	EXPECT_EQ(a.ringPos(), 4);

	push(tap, std::vector<float>(WaveformView::kRingSize - 4, 0.1f));
	a.tickAfter(0);
	EXPECT_EQ(a.ringFill(), uint64_t(WaveformView::kRingSize));
	EXPECT_EQ(a.ringPos(), 0);
	push(tap, {0.75f});
	a.tickAfter(0);
	EXPECT_EQ(a.ringFill(), uint64_t(WaveformView::kRingSize));
	EXPECT_EQ(a.ring()[0], 0.75f);
	EXPECT_EQ(a.ringPos(), 1);
}

TEST_F(ViewTick, WaveformModeLeavesTheRingAlone)
{
	view.setMode(ViewMode::Waveform);
	push(tap, {0.5f, 0.5f});
	a.tickAfter(0);
	EXPECT_EQ(a.ringFill(), 0u);
	EXPECT_GT(a.lastAudioMs(), 0);
}

TEST_F(ViewTick, ChangingTheModeResetsAndTheSameModeKeepsEverything)
{
	push(tap, {0.5f});
	a.tickAfter(0);
	view.setMode(ViewMode::Spectrum);
	EXPECT_NEAR(a.peakDb(), -6.02f, 0.01f);
	EXPECT_EQ(a.ringFill(), 1u);

	view.setMode(ViewMode::Waveform);
	EXPECT_EQ(a.mode(), ViewMode::Waveform);
	EXPECT_EQ(a.peakDb(), -120.0f);
	EXPECT_EQ(a.ringFill(), 0u);
}

TEST(ViewCore, AViewWithoutATapKeepsItsLevelsButRepaintsEveryTick)
{
	WaveformView view;
	WaveformViewTestAccess a{view};
	view.resize(300, 120);
	view.show();
	QCoreApplication::processEvents();
	a.peakDb() = -10.0f;
	a.rmsDb() = -12.0f;

	struct PaintCounter : QObject {
		int paints = 0;
		bool eventFilter(QObject *, QEvent *e) override
		{
			paints += e->type() == QEvent::Paint;
			return false;
		}
	} counter;
	view.installEventFilter(&counter);
	for (int i = 0; i < 3; i++) {
		a.tickAfter(0.5);
		QCoreApplication::processEvents();
	}
	EXPECT_EQ(a.peakDb(), -10.0f);
	EXPECT_EQ(a.rmsDb(), -12.0f);
	EXPECT_EQ(counter.paints, 3);
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
	EXPECT_EQ(a.ring().size(), size_t(WaveformView::kRingSize));
}
