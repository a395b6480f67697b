#include "spectrum-analyser.hpp"

#include "spectrum-columns.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <limits>

namespace {

constexpr double kFallDbPerSecond = 55.0;
// A full-scale sine centred on a bin reads 0 dB: the Hann window halves the
// amplitude and the transform gathers N/2 of it into the bin, so N/4.
constexpr float kMagnitudeScale = 1.0f / float(SpectrumAnalyser::kSize / 4);
// Every magnitude below this reads the floor, whatever its exact logarithm,
// so its logarithm is not taken: it lies a little below the floor, so that no
// rounding of the logarithm can lift a magnitude beneath it above the floor.
// Below it lie the silent magnitudes, which read the floor too, and so does a
// NaN.
constexpr float kBelowFloorDb = 0.005f;
const float kFloorMagnitude = std::pow(10.0f, (SpectrumAnalyser::kSpectrumFloorDb - kBelowFloorDb) / 20.0f);
// Samples far beyond full scale overflow the squares to infinity, a level
// that would never fall: such a bin reads the loudest level a finite
// magnitude can have.
const float kCeilingDb = 20.0f * std::log10(std::numeric_limits<float>::max());

} // namespace

SpectrumAnalyser::SpectrumAnalyser()
	: fft(kSize), hannWindow(kSize), fftRe(kSize, 0.0f), fftIm(kSize, 0.0f), spectrumDb(kBins, kSpectrumFloorDb)
{
	// Symmetric Hann: both end points are 0.
	for (int i = 0; i < kSize; i++)
		hannWindow[size_t(i)] = float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kSize - 1)));
}

void SpectrumAnalyser::reset()
{
	std::fill(spectrumDb.begin(), spectrumDb.end(), kSpectrumFloorDb);
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
		float level = kSpectrumFloorDb;
		if (!silent) {
			const float m =
				std::sqrt(fftRe[size_t(k)] * fftRe[size_t(k)] + fftIm[size_t(k)] * fftIm[size_t(k)]) *
				kMagnitudeScale;
			if (m >= kFloorMagnitude)
				level = std::clamp(20.0f * std::log10(m), kSpectrumFloorDb, kCeilingDb);
		}
		float &db = spectrumDb[size_t(k)];
		const float was = db;
		db = level >= db ? level : std::max(db - fall, kSpectrumFloorDb);
		changed |= db != was;
		const double hz = k * double(sampleRate) * (1.0 / kSize);
		if (hz >= spectrumaxis::kLowHz && hz <= spectrumaxis::kHighHz && db > best) {
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
