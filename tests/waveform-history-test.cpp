#include "monitor/waveform-history.hpp"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 462; // the plot of a 500-pixel view

WaveformHistory oneSamplePerColumn()
{
	WaveformHistory h;
	h.updateColumnWidth(kWidth, 100, 1.0); // fewer samples than pixels: one each
	return h;
}

} // namespace

TEST(WaveformHistory, TheTimeScaleFollowsWidthAndRateAndClearsOnChange)
{
	WaveformHistory h;
	h.updateColumnWidth(500, 48000, 3.0);
	EXPECT_DOUBLE_EQ(h.samplesPerColumn(), 288.0);
	h.push(std::vector<float>(2880, 0.1f), {}, 500);
	EXPECT_EQ(h.size(), 10u);
	h.updateColumnWidth(500, 48000, 3.0); // unchanged: kept
	EXPECT_EQ(h.size(), 10u);
	h.updateColumnWidth(501, 48000, 3.0); // one pixel wider: starts again
	EXPECT_EQ(h.size(), 0u);
	h.push(std::vector<float>(2880, 0.1f), {}, 501);
	h.updateColumnWidth(501, 44100, 3.0); // another rate: starts again
	EXPECT_EQ(h.size(), 0u);
}

TEST(WaveformHistory, EveryColumnHoldsTheRoundedUpNumberOfSamples)
{
	WaveformHistory h;
	h.updateColumnWidth(700, 48000, 3.0); // 205.71 samples a column
	std::vector<float> ramp(206 * 3);
	for (size_t i = 0; i < ramp.size(); i++)
		ramp[i] = float(i);
	h.push(ramp, {}, 700);
	ASSERT_EQ(h.size(), 3u);
	EXPECT_EQ(h.at(0).minL, 0.0f);
	EXPECT_EQ(h.at(0).maxL, 205.0f);
	EXPECT_EQ(h.at(1).minL, 206.0f);
	EXPECT_EQ(h.at(2).maxL, 617.0f);
}

TEST(WaveformHistory, OneSamplePerColumnGivesPointColumns)
{
	WaveformHistory h = oneSamplePerColumn();
	EXPECT_DOUBLE_EQ(h.samplesPerColumn(), 1.0);
	h.push({0.5f, -0.25f}, {0.1f, 0.2f}, kWidth);
	ASSERT_EQ(h.size(), 2u);
	EXPECT_EQ(h.at(0).minL, 0.5f);
	EXPECT_EQ(h.at(0).maxL, 0.5f);
	EXPECT_EQ(h.at(1).minR, 0.2f);
	EXPECT_EQ(h.at(1).maxR, 0.2f);
}

TEST(WaveformHistory, MonoMirrorsChannelZeroAndAShortRightPairsOnlyItsSamples)
{
	WaveformHistory h = oneSamplePerColumn();
	h.push({0.5f, -0.5f, 0.75f}, {0.1f}, kWidth);
	ASSERT_EQ(h.size(), 3u);
	EXPECT_EQ(h.at(0).maxR, 0.1f);
	EXPECT_EQ(h.at(1).minR, -0.5f);
	EXPECT_EQ(h.at(2).maxR, 0.75f);
	h.push({0.3f}, {}, kWidth);
	EXPECT_EQ(h.at(3).minR, 0.3f);
}

TEST(WaveformHistory, AColumnMaySpanSeveralBlocks)
{
	WaveformHistory h;
	h.updateColumnWidth(500, 48000, 3.0);
	h.push(std::vector<float>(200, 0.5f), {}, 500);
	EXPECT_EQ(h.size(), 0u);
	h.push({}, {}, 500); // an empty drain changes nothing
	std::vector<float> rest(88, -0.25f);
	h.push(rest, {}, 500);
	ASSERT_EQ(h.size(), 1u);
	EXPECT_EQ(h.at(0).minL, -0.25f);
	EXPECT_EQ(h.at(0).maxL, 0.5f);
}

TEST(WaveformHistory, NeverHoldsMoreThanFourColumnsBeyondThePlot)
{
	WaveformHistory h = oneSamplePerColumn();
	std::vector<float> block(1000);
	for (size_t i = 0; i < block.size(); i++)
		block[i] = float(i);
	h.push(block, {}, kWidth);
	ASSERT_EQ(h.size(), size_t(kWidth + 4));
	EXPECT_EQ(h.at(h.size() - 1).maxL, 999.0f) << "the newest are kept";
	h.clear();
	EXPECT_EQ(h.size(), 0u);
}

// A 10-column plot, one sample a column: a push changes the picture unless it
// only scrolls equal columns past.
TEST(WaveformHistory, PushSaysWhetherTheShownColumnsChanged)
{
	WaveformHistory h;
	h.updateColumnWidth(10, 10, 1.0);
	auto zeros = [](size_t n) {
		return std::vector<float>(n, 0.0f);
	};
	EXPECT_TRUE(h.push(zeros(5), {}, 10)) << "growing from the right";
	EXPECT_TRUE(h.push(zeros(10), {}, 10)) << "filling the plot";
	EXPECT_FALSE(h.push(zeros(3), {}, 10)) << "silence scrolling over silence";
	EXPECT_FALSE(h.push({}, {}, 10));
	EXPECT_TRUE(h.push({0.5f}, {}, 10));
	EXPECT_TRUE(h.push(zeros(9), {}, 10)) << "the odd column is still shown";
	EXPECT_TRUE(h.push(zeros(1), {}, 10)) << "and scrolls out now";
	EXPECT_FALSE(h.push(zeros(1), {}, 10));
	EXPECT_FALSE(h.push(zeros(4), zeros(4), 10));
	EXPECT_TRUE(h.push(zeros(1), {0.25f}, 10)) << "channel 1 counts too";
}
