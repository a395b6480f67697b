// The callbacks as libobs itself calls them: the master mix from its audio
// thread, the bound source's capture callback from whoever outputs its audio.
#include "audio/audio-callbacks.hpp"
#include "audio/audio-feeds.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <util/platform.h>

#include <algorithm>
#include <memory>
#include <cmath>

using testenv::logLinesWith;

TEST(AudioFlow, TheMasterMixReachesTheMasterTapAsPlanarStereo)
{
	Tovrin panel;
	TovrinTestAccess::tickTimer(panel)->stop(); // the test reads the tap, not the views
	ASSERT_TRUE(testenv::waitFor([] { return !logLinesWith("master audio flowing").empty(); }, 3000));
	testenv::processEventsFor(200);

	const auto lines = logLinesWith("master audio flowing");
	ASSERT_EQ(lines.size(), 1u);
	EXPECT_EQ(lines[0], "[tovrin] master audio flowing (2 ch, 1024 frames)");
	const Drained d = drainAll(TovrinTestAccess::masterTap(panel));
	EXPECT_GE(d.left.size(), 1024u);
	EXPECT_EQ(d.left.size() % 1024, 0u);
	EXPECT_TRUE(d.stereo);
}

TEST(AudioFlow, TheBoundSourcesCaptureCallbackFillsTheInputTapAfterItsFader)
{
	Tovrin panel;
	obs_source_t *source = testenv::createToneSource("Tone");
	obs_set_output_source(0, source);
	obs_source_set_volume(source, 0.5f);
	panel.bindSource(source);
	EXPECT_EQ(logLinesWith("[tovrin] monitoring source 'Tone'").size(), 1u);
	EXPECT_EQ(TovrinTestAccess::boundSource(panel), source);

	const uint64_t start = os_gettime_ns();
	for (int i = 0; i < 10; i++)
		testenv::feedTone(source, 480, 0.8f, start + uint64_t(i) * 10000000ull);

	const auto lines = logLinesWith("source audio flowing");
	ASSERT_EQ(lines.size(), 1u);
	EXPECT_EQ(lines[0], "[tovrin] source audio flowing (2 ch, 480 frames)");
	const Drained d = drainAll(TovrinTestAccess::inputTap(panel));
	ASSERT_EQ(d.left.size(), 4800u);
	const float peak = std::fabs(*std::max_element(d.left.begin(), d.left.end(),
						       [](float a, float b) { return std::fabs(a) < std::fabs(b); }));
	EXPECT_NEAR(peak, 0.4f, 0.01f);

	// Once unbound, the source's audio no longer reaches the panel.
	panel.unbindSource();
	testenv::feedTone(source, 480, 0.8f, start + 100000000ull);
	EXPECT_TRUE(drainAll(TovrinTestAccess::inputTap(panel)).left.empty());

	obs_set_output_source(0, nullptr);
	obs_source_release(source);
}

TEST(SourceCallback, GainFollowsTheBoundSourcesVolumeAndMute)
{
	auto feed = std::make_unique<SourceFeed>();
	auto input = [&]() -> SampleTap & {
		return feed->inputTap;
	};
	obs_source_t *source = testenv::createToneSource("Tone");
	ASSERT_TRUE(feed->bind(source));
	ASSERT_EQ(feed->boundSource(), source);
	std::vector<float> half(8, 0.5f);
	audio_data block = {};
	block.data[0] = block.data[1] = reinterpret_cast<uint8_t *>(half.data());
	block.frames = 8;

	obs_source_set_volume(source, 0.25f);
	onSourceAudio(feed.get(), nullptr, &block, false);
	EXPECT_EQ(drainAll(input()).left, std::vector<float>(8, 0.125f));

	obs_source_set_muted(source, true);
	onSourceAudio(feed.get(), nullptr, &block, false);
	EXPECT_EQ(drainAll(input()).right, std::vector<float>(8, 0.0f));

	obs_source_set_muted(source, false);
	obs_source_set_volume(source, 1.0f);
	onSourceAudio(feed.get(), nullptr, &block, false);
	EXPECT_EQ(drainAll(input()).left, std::vector<float>(8, 0.5f));

	feed.reset();
	obs_source_release(source);
}
