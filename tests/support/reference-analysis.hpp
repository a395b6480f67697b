#pragma once

#include "reference-fft.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <cstdint>
#include <vector>

// The analysis exactly as first written down, on the literal transform: the
// reference the module's analyser must match bit for bit.
struct ReferenceAnalysis {
	static constexpr int N = 8192;
	std::vector<float> hann = std::vector<float>(N), re = std::vector<float>(N), im = std::vector<float>(N);
	std::vector<float> spectrumDb = std::vector<float>(N / 2, -90.0f);
	float dominantHz = 0.0f, dominantDb = -120.0f;

	ReferenceAnalysis()
	{
		for (int i = 0; i < N; i++)
			hann[size_t(i)] = float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / 8191.0));
	}

	void analyse(const std::vector<float> &ring, int ringPos, uint32_t rate, double dt)
	{
		for (int i = 0; i < N; i++) {
			re[size_t(i)] = ring[size_t((ringPos + i) % N)] * hann[size_t(i)];
			im[size_t(i)] = 0.0f;
		}
		referenceFft(re.data(), im.data(), N);
		const float fall = float(std::max(dt, 0.0) * 55.0);
		float best = -120.0f;
		int bestBin = -1;
		for (int k = 1; k < N / 2; k++) {
			const float m = std::sqrt(re[size_t(k)] * re[size_t(k)] + im[size_t(k)] * im[size_t(k)]) *
					0.00048828125f;
			float level = m > 1e-9f ? 20.0f * std::log10(m) : -120.0f;
			level = std::max(level, -90.0f);
			float &db = spectrumDb[size_t(k)];
			if (level >= db)
				db = level;
			else
				db = std::max(db - fall, -90.0f);
			const double f = k * double(rate) * 0.0001220703125;
			if (f >= 20.0 && f <= 20000.0 && db > best) {
				best = db;
				bestBin = k;
			}
		}
		if (bestBin > 0) {
			dominantDb = best;
			dominantHz = float(double(bestBin) * rate / N);
		}
	}
};
