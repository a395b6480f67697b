#include "audio/audio-callbacks.hpp"
#include "audio/audio-feeds.hpp"
#include "support/libobs-spy.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <memory>

using testenv::logLinesWith;

namespace {

struct Block {
	std::vector<float> planes[MAX_AV_PLANES];
	audio_data data = {};

	Block(int channels, uint32_t frames, float value)
	{
		for (int c = 0; c < channels; c++) {
			planes[c].assign(frames, value);
			data.data[c] = reinterpret_cast<uint8_t *>(planes[c].data());
		}
		data.frames = frames;
	}
};

// The callbacks are handed their feeds, as libobs hands them; nothing else
// writes into the taps.
class CallbackTest : public ::testing::Test {
protected:
	SampleTap &input() { return sourceFeed.inputTap; }
	SampleTap &master() { return masterFeed.masterTap; }

	MasterFeed masterFeed;
	SourceFeed sourceFeed;
};

} // namespace

TEST_F(CallbackTest, BlocksAfterShutdownAreDropped)
{
	masterFeed.close();
	sourceFeed.close();
	Block block(2, 256, 0.5f);
	onMasterAudio(&masterFeed, 0, &block.data);
	onSourceAudio(&sourceFeed, nullptr, &block.data, false);
	EXPECT_TRUE(drainAll(master()).left.empty());
	EXPECT_TRUE(drainAll(input()).left.empty());
	EXPECT_TRUE(logLinesWith("audio flowing").empty());
}

TEST_F(CallbackTest, NullOrEmptyBlocksAreIgnored)
{
	Block empty(2, 0, 0.5f);
	Block block(2, 64, 0.5f);
	onMasterAudio(nullptr, 0, &block.data);
	onMasterAudio(&masterFeed, 0, nullptr);
	onMasterAudio(&masterFeed, 0, &empty.data);
	onSourceAudio(&sourceFeed, nullptr, nullptr, false);
	onSourceAudio(&sourceFeed, nullptr, &empty.data, false);
	Block noPlanes(0, 64, 0.5f);
	onSourceAudio(&sourceFeed, nullptr, &noPlanes.data, false);

	EXPECT_TRUE(drainAll(master()).left.empty());
	EXPECT_TRUE(drainAll(input()).left.empty());
	EXPECT_TRUE(logLinesWith("audio flowing").empty());
}

TEST_F(CallbackTest, MasterFlowIsLoggedOnceWithTheFirstBlocksCounts)
{
	Block mono(1, 480, 0.5f);
	Block stereo(2, 1024, 0.25f);
	onMasterAudio(&masterFeed, 0, &mono.data);
	onMasterAudio(&masterFeed, 0, &stereo.data);

	const auto lines = logLinesWith("master audio flowing");
	ASSERT_EQ(lines.size(), 1u);
	EXPECT_EQ(lines[0], "[tovrin] master audio flowing (1 ch, 480 frames)");

	const Drained d = drainAll(master());
	EXPECT_EQ(d.left.size(), 1504u);
	EXPECT_EQ(d.right.size(), 1504u) << "the mono samples stand in for their own right channel";
	EXPECT_EQ(d.left.front(), 0.5f);
	EXPECT_EQ(d.right.front(), 0.5f);
	EXPECT_TRUE(d.stereo);
}

TEST_F(CallbackTest, SourcePlanesAreCountedUpToTheFirstGap)
{
	Block block(4, 300, 0.5f);
	block.data.data[2] = nullptr; // the fourth plane is never looked at
	onSourceAudio(&sourceFeed, nullptr, &block.data, false);
	Block six(6, 100, 0.5f);
	onSourceAudio(&sourceFeed, nullptr, &six.data, false);

	const auto lines = logLinesWith("source audio flowing");
	ASSERT_EQ(lines.size(), 1u);
	EXPECT_EQ(lines[0], "[tovrin] source audio flowing (2 ch, 300 frames)");
	const Drained d = drainAll(input());
	EXPECT_EQ(d.left.size(), 400u);
	EXPECT_TRUE(d.stereo);
}

TEST_F(CallbackTest, UnboundSourceAudioPassesAtUnityGain)
{
	Block block(2, 16, 0.5f);
	onSourceAudio(&sourceFeed, nullptr, &block.data, false);
	const Drained d = drainAll(input());
	EXPECT_EQ(d.left, std::vector<float>(16, 0.5f));
}

TEST_F(CallbackTest, MutedBlocksAreStoredAsExactZeros)
{
	Block block(2, 32, 0.5f);
	onSourceAudio(&sourceFeed, nullptr, &block.data, true);
	const Drained d = drainAll(input());
	EXPECT_EQ(d.left, std::vector<float>(32, 0.0f));
	EXPECT_EQ(d.right, std::vector<float>(32, 0.0f));
}

TEST(NoMixer, WithoutAudioInformationTheRateIs48000)
{
	obs_audio_info none = {};
	ASSERT_FALSE(obs_get_audio_info(&none));
	Tovrin panel;
	EXPECT_EQ(TovrinTestAccess::inputTap(panel).sampleRate(), 48000u);
	EXPECT_EQ(TovrinTestAccess::masterTap(panel).sampleRate(), 48000u);
	EXPECT_EQ(spy::lastConversion().samples_per_sec, 48000u);
}
