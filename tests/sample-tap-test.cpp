#include "audio/sample-tap.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

namespace {

std::vector<float> ramp(size_t n, float start = 0.0f)
{
	std::vector<float> v(n);
	std::iota(v.begin(), v.end(), start);
	return v;
}

void pushMono(SampleTap &tap, const std::vector<float> &samples, float gain = 1.0f)
{
	const float *planes[] = {samples.data()};
	tap.push(planes, 1, uint32_t(samples.size()), gain);
}

void pushStereo(SampleTap &tap, const std::vector<float> &l, const std::vector<float> &r, float gain = 1.0f)
{
	const float *planes[] = {l.data(), r.data()};
	tap.push(planes, 2, uint32_t(l.size()), gain);
}

} // namespace

TEST(SampleTap, ZeroRateMeansDefaultRateAndTwoSecondCapacity)
{
	SampleTap tap;
	tap.setSampleRate(44100);
	tap.setSampleRate(0);
	EXPECT_EQ(tap.sampleRate(), 48000u);

	// 96000 pending fit; one more sample throws the backlog away.
	pushMono(tap, std::vector<float>(96000, 0.5f));
	EXPECT_EQ(drainAll(tap).left.size(), 96000u);
	pushMono(tap, std::vector<float>(96000, 0.5f));
	pushMono(tap, {0.25f});
	const Drained d = drainAll(tap);
	ASSERT_EQ(d.left.size(), 1u);
	EXPECT_EQ(d.left[0], 0.25f);
}

TEST(SampleTap, CapacityFollowsTheRate)
{
	SampleTap tap;
	tap.setSampleRate(44100);
	EXPECT_EQ(tap.sampleRate(), 44100u);
	pushMono(tap, std::vector<float>(88200, 0.5f));
	EXPECT_EQ(drainAll(tap).left.size(), 88200u);

	pushMono(tap, std::vector<float>(88200, 0.5f));
	pushMono(tap, std::vector<float>(1, 0.5f));
	EXPECT_EQ(drainAll(tap).left.size(), 1u);
}

TEST(SampleTap, OverflowDiscardsTheBacklogAndKeepsTheNewBlockWhole)
{
	SampleTap tap;
	const std::vector<float> old = ramp(95000);
	pushStereo(tap, old, old);
	const std::vector<float> fresh = ramp(1024, 100000.0f);
	pushStereo(tap, fresh, fresh);

	const Drained d = drainAll(tap);
	EXPECT_EQ(d.left, fresh);
	EXPECT_EQ(d.right, fresh);
	EXPECT_TRUE(d.stereo);
}

TEST(SampleTap, BlockLongerThanTheCapacityIsStoredWhole)
{
	SampleTap tap;
	const std::vector<float> big = ramp(100000);
	pushMono(tap, big);
	EXPECT_EQ(drainAll(tap).left, big);
}

TEST(SampleTap, NonFiniteSamplesAndOverflowingProductsBecomeZero)
{
	SampleTap tap;
	const float inf = std::numeric_limits<float>::infinity();
	const std::vector<float> l = {0.5f, std::nanf(""), inf, -inf, 1e30f, -0.25f};
	const std::vector<float> r = {inf, 0.5f, 0.5f, 0.5f, -1e30f, std::nanf("")};
	pushStereo(tap, l, r, 1e10f);

	const Drained d = drainAll(tap);
	EXPECT_EQ(d.left, (std::vector<float>{5e9f, 0.0f, 0.0f, 0.0f, 0.0f, -2.5e9f}));
	EXPECT_EQ(d.right, (std::vector<float>{0.0f, 5e9f, 5e9f, 5e9f, 0.0f, 0.0f}));
}

TEST(SampleTap, StereoPushWithoutASecondPlaneDuplicatesTheScrubbedLeft)
{
	SampleTap tap;
	const std::vector<float> l = {0.5f, std::nanf(""), -0.5f};
	const float *planes[] = {l.data(), nullptr};
	tap.push(planes, 2, 3, 2.0f);

	const Drained d = drainAll(tap);
	EXPECT_EQ(d.left, (std::vector<float>{1.0f, 0.0f, -1.0f}));
	EXPECT_EQ(d.right, d.left);
	EXPECT_TRUE(d.stereo);
}

// Whatever order mono and stereo blocks come in, each left sample is paired
// with its own right sample, or with itself where its block had none.
TEST(SampleTap, ChannelCountChangesKeepTheChannelsAligned)
{
	SampleTap tap;
	pushStereo(tap, ramp(4), ramp(4, 10.0f));
	pushMono(tap, ramp(3, 20.0f));
	Drained d = drainAll(tap);
	EXPECT_FALSE(d.stereo);
	EXPECT_EQ(d.left, (std::vector<float>{0, 1, 2, 3, 20, 21, 22}));
	EXPECT_EQ(d.right, (std::vector<float>{10, 11, 12, 13}));

	pushMono(tap, ramp(2, 30.0f));
	pushStereo(tap, ramp(2, 40.0f), ramp(2, 50.0f));
	pushMono(tap, ramp(1, 60.0f));
	pushStereo(tap, ramp(1, 70.0f), ramp(1, 80.0f));
	d = drainAll(tap);
	EXPECT_TRUE(d.stereo);
	EXPECT_EQ(d.left, (std::vector<float>{30, 31, 40, 41, 60, 70}));
	EXPECT_EQ(d.right, (std::vector<float>{30, 31, 50, 51, 60, 80}));
}

TEST(SampleTap, EmptyOrMalformedBlocksAreIgnored)
{
	SampleTap tap;
	const std::vector<float> l = ramp(8);
	const float *planes[] = {l.data(), l.data()};
	const float *noFirst[] = {nullptr, l.data()};
	tap.push(nullptr, 2, 8, 1.0f);
	tap.push(planes, 0, 8, 1.0f);
	tap.push(planes, -1, 8, 1.0f);
	tap.push(planes, 2, 0, 1.0f);
	tap.push(noFirst, 2, 8, 1.0f);

	const Drained d = drainAll(tap);
	EXPECT_TRUE(d.left.empty());
	EXPECT_TRUE(d.right.empty());
}

TEST(SampleTap, DrainOfAnEmptyTapIsEmptyAndLeavesRoomReserved)
{
	SampleTap tap;
	Drained d;
	tap.drain(d.left, d.right, d.stereo);
	EXPECT_TRUE(d.left.empty());
	EXPECT_TRUE(d.right.empty());
	EXPECT_FALSE(d.stereo);

	// The buffers the tap kept come out at the next drain: they carry the
	// reserved room the next pushes write into.
	tap.drain(d.left, d.right, d.stereo);
	EXPECT_GE(d.left.capacity(), SampleTap::kDrainReserve);
	EXPECT_GE(d.right.capacity(), SampleTap::kDrainReserve);
}

TEST(SampleTap, DrainHandsOverEverythingInArrivalOrderAndEmptiesTheTap)
{
	SampleTap tap;
	pushStereo(tap, ramp(3), ramp(3, 10.0f));
	pushStereo(tap, ramp(2, 3.0f), ramp(2, 13.0f));
	Drained d;
	d.left.assign(1, 99.0f);
	tap.drain(d.left, d.right, d.stereo);
	EXPECT_EQ(d.left, (std::vector<float>{0, 1, 2, 3, 4}));
	EXPECT_EQ(d.right, (std::vector<float>{10, 11, 12, 13, 14}));
	EXPECT_TRUE(d.stereo);

	// The caller's old buffer went back into the tap emptied.
	tap.drain(d.left, d.right, d.stereo);
	EXPECT_TRUE(d.left.empty());
}

TEST(SampleTap, ClearDropsPendingSamples)
{
	SampleTap tap;
	pushStereo(tap, ramp(4), ramp(4));
	tap.clear();
	const Drained d = drainAll(tap);
	EXPECT_TRUE(d.left.empty());
	EXPECT_TRUE(d.right.empty());
	EXPECT_FALSE(d.stereo);
}
