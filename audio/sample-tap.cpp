#include "sample-tap.hpp"

#include <algorithm>
#include <cmath>

namespace {

inline float finiteOrZero(float v)
{
	return std::isfinite(v) ? v : 0.0f;
}

// Geometric growth, so that a reader that stalls costs a handful of
// reallocations instead of one per block.
void reserveFor(std::vector<float> &v, size_t wanted)
{
	if (wanted > v.capacity())
		v.reserve(std::max(wanted, 2 * v.capacity()));
}

} // namespace

void SampleTap::setSampleRate(uint32_t rate)
{
	const uint32_t effective = rate ? rate : kDefaultRateHz;
	std::lock_guard<std::mutex> lock(mutex);
	if (effective == rateHz)
		return;
	rateHz = effective;
	capacity = 2 * uint64_t(effective);
}

uint32_t SampleTap::sampleRate() const
{
	std::lock_guard<std::mutex> lock(mutex);
	return rateHz;
}

void SampleTap::push(const float *const *planes, int channels, uint32_t frames, float gain)
{
	if (!planes || channels <= 0 || frames == 0 || !planes[0])
		return;

	const float *src0 = planes[0];
	const float *src1 = channels > 1 ? planes[1] : nullptr;

	std::lock_guard<std::mutex> lock(mutex);
	if (left.size() + uint64_t(frames) > capacity) {
		left.clear();
		right.clear();
	}

	reserveFor(left, left.size() + frames);
	if (channels > 1) {
		reserveFor(right, right.size() + frames);
		for (uint32_t i = 0; i < frames; i++) {
			const float l = finiteOrZero(gain * src0[i]);
			left.push_back(l);
			right.push_back(src1 ? finiteOrZero(gain * src1[i]) : l);
		}
	} else {
		for (uint32_t i = 0; i < frames; i++)
			left.push_back(finiteOrZero(gain * src0[i]));
	}
	stereo = channels > 1;
}

void SampleTap::drain(std::vector<float> &outLeft, std::vector<float> &outRight, bool &outStereo)
{
	std::lock_guard<std::mutex> lock(mutex);
	outLeft.swap(left);
	outRight.swap(right);
	left.clear();
	right.clear();
	if (left.capacity() < kDrainReserve)
		left.reserve(kDrainReserve);
	if (right.capacity() < kDrainReserve)
		right.reserve(kDrainReserve);
	outStereo = stereo && !outRight.empty();
}

void SampleTap::clear()
{
	std::lock_guard<std::mutex> lock(mutex);
	left.clear();
	right.clear();
	stereo = false;
}
