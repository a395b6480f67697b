#include "sample-tap.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

inline float finiteOrZero(float v)
{
	return std::isfinite(v) ? v : 0.0f;
}

// Appends room for frames samples and returns where they go. Growth is
// geometric, so a reader that stalls costs a few reallocations, not one a block.
float *grow(std::vector<float> &v, uint32_t frames)
{
	const size_t old = v.size();
	if (old + frames > v.capacity())
		v.reserve(std::max(old + frames, 2 * v.capacity()));
	v.resize(old + frames);
	return v.data() + old;
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

	// Stereo after mono: each of those left samples is its own right one, so
	// that the right channel lines up with the left again.
	if (channels > 1 && right.size() < left.size())
		right.insert(right.end(), left.begin() + std::ptrdiff_t(right.size()), left.end());

	float *l = grow(left, frames);
	for (uint32_t i = 0; i < frames; i++)
		l[i] = finiteOrZero(gain * src0[i]);
	if (channels > 1) {
		float *r = grow(right, frames);
		for (uint32_t i = 0; i < frames; i++)
			r[i] = src1 ? finiteOrZero(gain * src1[i]) : l[i];
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
