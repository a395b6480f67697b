#include "spectrum-analyser.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kFallDbPerSecond = 55.0;
// A full-scale sine centred on a bin reads 0 dB: the Hann window halves the
// amplitude and the transform gathers N/2 of it into the bin, so N/4 = 2048.
constexpr float kMagnitudeScale = 1.0f / 2048.0f;
// Every magnitude below this reads the floor, whatever its exact logarithm
// (20 log10 of it is -90.006 dB), so its logarithm is not taken. Below it lie
// the silent magnitudes, which read the floor too, and so does a NaN.
constexpr float kFloorMagnitude = 3.16e-5f;
// Samples far beyond full scale overflow the squares to infinity, a level
// that would never fall: such a bin reads the loudest level a finite
// magnitude can have.
const float kCeilingDb = 20.0f * std::log10(std::numeric_limits<float>::max());
constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 20000.0;

} // namespace

SpectrumAnalyser::SpectrumAnalyser()
	: fft(kSize), hannWindow(kSize), fftRe(kSize, 0.0f), fftIm(kSize, 0.0f), spectrumDb(kBins, kFloorDb)
{
	// Symmetric Hann: both end points are 0.
	for (int i = 0; i < kSize; i++)
		hannWindow[size_t(i)] = float(0.5 - 0.5 * std::cos(2.0 * M_PI * i / (kSize - 1)));
}

void SpectrumAnalyser::reset()
{
	std::fill(spectrumDb.begin(), spectrumDb.end(), kFloorDb);
	dominantHz = 0.0f;
	dominantDb = meter::kSilenceDb;
}

bool SpectrumAnalyser::analyse(const std::vector<float> &ring, int ringPos, uint32_t sampleRate, double dt, bool silent)
{
	if (!silent) {
		window(ring, ringPos);
		fft.transform(fftRe.data(), fftIm.data());
	}
	return updateLevels(sampleRate, float(std::max(dt, 0.0) * kFallDbPerSecond), silent);
}

// Oldest to newest sample under the window.
void SpectrumAnalyser::window(const std::vector<float> &ring, int ringPos)
{
	const size_t split = size_t(kSize - ringPos);
	for (size_t i = 0; i < split; i++)
		fftRe[i] = ring[size_t(ringPos) + i] * hannWindow[i];
	for (size_t i = split; i < size_t(kSize); i++)
		fftRe[i] = ring[i - split] * hannWindow[i];
	std::fill(fftIm.begin(), fftIm.end(), 0.0f);
}

bool SpectrumAnalyser::updateLevels(uint32_t sampleRate, float fall, bool silent)
{
	float best = meter::kSilenceDb;
	int bestBin = -1;
	bool changed = false;
	for (int k = 1; k < kBins; k++) {
		float level = kFloorDb;
		if (!silent) {
			const float m =
				std::sqrt(fftRe[size_t(k)] * fftRe[size_t(k)] + fftIm[size_t(k)] * fftIm[size_t(k)]) *
				kMagnitudeScale;
			if (m >= kFloorMagnitude)
				level = std::clamp(20.0f * std::log10(m), kFloorDb, kCeilingDb);
		}
		float &db = spectrumDb[size_t(k)];
		const float was = db;
		db = level >= db ? level : std::max(db - fall, kFloorDb);
		changed |= db != was;
		const double hz = k * double(sampleRate) * (1.0 / kSize);
		if (hz >= kLowestHz && hz <= kHighestHz && db > best) {
			best = db;
			bestBin = k;
		}
	}
	if (bestBin > 0) {
		const float hz = float(double(bestBin) * sampleRate / kSize);
		changed |= hz != dominantHz || best != dominantDb;
		dominantDb = best;
		dominantHz = hz;
	}
	return changed;
}
