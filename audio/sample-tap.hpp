#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

// Hands audio from OBS audio threads to the UI thread. Writers append under the
// mutex; the single reader swaps the pending samples out, so the two buffers per
// channel circulate and nothing allocates in steady state.
class SampleTap {
public:
	static constexpr uint32_t kDefaultRateHz = 48000;
	// Room the reader hands back after each drain: about 170 ms at 48 kHz, more
	// than a 33 ms tick ever collects, so pushes do not allocate.
	static constexpr size_t kDrainReserve = 8192;

	SampleTap() = default;
	SampleTap(const SampleTap &) = delete;
	SampleTap &operator=(const SampleTap &) = delete;

	void setSampleRate(uint32_t rate);
	uint32_t sampleRate() const;

	void push(const float *const *planes, int channels, uint32_t frames, float gain);
	void drain(std::vector<float> &outLeft, std::vector<float> &outRight, bool &outStereo);
	void clear();

private:
	mutable std::mutex mutex;
	std::vector<float> left;
	std::vector<float> right;
	uint32_t rateHz = kDefaultRateHz;
	bool stereo = false;
	// Two seconds of backlog: a reader further behind than that is not keeping up.
	uint64_t capacity = 2 * uint64_t(kDefaultRateHz);
};
