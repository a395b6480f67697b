#include "dock/volume-scale.hpp"

#include <gtest/gtest.h>

using namespace volumescale;

TEST(VolumeScale, SliderPositionsToDecibelsAndMultipliers)
{
	EXPECT_EQ(multiplierFromSlider(0), 0.0f) << "the bottom is silence, not -60 dB";
	EXPECT_EQ(formatVolumeLabel(dbFromSlider(0)), "-60.0 dB");
	EXPECT_FLOAT_EQ(dbFromSlider(1), -59.9f);
	EXPECT_NEAR(multiplierFromSlider(1), 0.001012f, 0.000001f);
	EXPECT_FLOAT_EQ(dbFromSlider(540), -6.0f);
	EXPECT_NEAR(multiplierFromSlider(540), 0.501187f, 0.000001f);
	EXPECT_EQ(multiplierFromSlider(600), 1.0f);
	EXPECT_EQ(formatVolumeLabel(dbFromSlider(600)), "0.0 dB");
}

TEST(VolumeScale, SourceVolumesToSliderPositions)
{
	SliderPosition pos = sliderFromVolume(0.5f);
	EXPECT_EQ(pos.value, 540);
	EXPECT_EQ(formatVolumeLabel(pos.db), "-6.0 dB");

	pos = sliderFromVolume(2.0f); // above unity
	EXPECT_EQ(pos.value, 600);
	EXPECT_EQ(formatVolumeLabel(pos.db), "0.0 dB");

	pos = sliderFromVolume(0.0f);
	EXPECT_EQ(pos.value, 0);
	EXPECT_EQ(formatVolumeLabel(pos.db), "-60.0 dB");

	EXPECT_EQ(sliderFromVolume(0.000001f).value, 0);
	EXPECT_EQ(sliderFromVolume(0.0000011f).value, 0) << "-119 dB is clamped to the bottom";
}

TEST(VolumeScale, ReadoutRoundsToOneDecimalWithAnAsciiMinus)
{
	EXPECT_EQ(formatVolumeLabel(-12.34f), "-12.3 dB");
	EXPECT_EQ(formatVolumeLabel(0.0f), "0.0 dB");
}
