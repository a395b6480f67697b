#include "spectrum-columns.hpp"

#include "spectrum-analyser.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLowHz = 20.0;
const double kDecades = std::log(1000.0); // 20 Hz to 20 kHz
// Bin 0 (DC) and the bin below Nyquist are never shown.
constexpr int kHighestBin = SpectrumAnalyser::kBins - 2;

} // namespace

const std::vector<float> &SpectrumColumns::levels(const std::vector<float> &bins, int n, uint32_t sampleRate)
{
	if (n != width || sampleRate != rate)
		layOut(n, sampleRate);
	for (size_t i = 0; i < ranges.size(); i++) {
		const auto [lo, hi] = ranges[i];
		columnLevels[i] = std::max(SpectrumAnalyser::kFloorDb,
					   *std::max_element(bins.begin() + lo, bins.begin() + hi + 1));
	}
	return columnLevels;
}

// Column i spans the bins from its own start frequency to the next column's.
void SpectrumColumns::layOut(int n, uint32_t sampleRate)
{
	width = n;
	rate = sampleRate;
	const double binsPerHz = double(SpectrumAnalyser::kSize) / sampleRate;
	ranges.resize(size_t(n));
	columnLevels.resize(size_t(n));
	for (int i = 0; i < n; i++) {
		int lo = int(std::floor(kLowHz * std::exp(i * kDecades / n) * binsPerHz));
		int hi = int(std::ceil(kLowHz * std::exp((i + 1) * kDecades / n) * binsPerHz));
		lo = std::clamp(lo, 1, kHighestBin);
		hi = hi > kHighestBin ? kHighestBin : std::max(hi, lo);
		ranges[size_t(i)] = {lo, hi};
	}
}
