#pragma once

#include "fft.hpp"
#include "level-meter.hpp"

#include <cstdint>
#include <vector>

// Levels of the latest 8192 mono samples per frequency bin, rising at once and
// falling 55 dB a second, and the strongest bin between 20 Hz and 20 kHz.
class SpectrumAnalyser {
public:
	static constexpr int kSize = 8192;
	static constexpr int kBins = kSize / 2;
	static constexpr float kSpectrumFloorDb = -90.0f; // the plot's bottom edge

	SpectrumAnalyser();

	void reset();
	// ring holds kSize samples; ringPos is the oldest. dt: seconds of fall
	// since the previous analysis, 0 after a stall. silent: the ring holds
	// nothing but exact zeros, whose transform is all zeros. Returns whether
	// any level or the dominant frequency changed.
	bool analyse(const std::vector<float> &ring, int ringPos, uint32_t sampleRate, double dt, bool silent = false);

	const std::vector<float> &levels() const { return spectrumDb; }
	float dominantHz = 0.0f; // 0 until the first analysis
	float dominantDb = meter::kSilenceDb;

private:
	void window(const std::vector<float> &ring, int ringPos);
	bool updateLevels(uint32_t sampleRate, float fall, bool silent);

	Fft fft;
	std::vector<float> hannWindow;
	std::vector<float> fftRe;
	std::vector<float> fftIm;
	std::vector<float> spectrumDb;
};
