#include "spectrum-columns.hpp"

#include "spectrum-analyser.hpp"

#include <algorithm>
#include <cmath>

namespace {

using spectrumaxis::kDecades;
using spectrumaxis::kLowHz;
// Bin 0 (DC) and the bin below Nyquist are never shown.
constexpr int kHighestBin = SpectrumAnalyser::kBins - 2;

} // namespace

ColumnSpan SpectrumColumns::update(const std::vector<float> &bins, int n, uint32_t sampleRate)
{
	ColumnSpan changed;
	if (!laidOutFor(n, sampleRate)) {
		layOut(n, sampleRate);
		changed = {0, n - 1};
	}
	for (int i = 0; i < n; i++) {
		const auto [lo, hi] = ranges[size_t(i)];
		const float level = std::max(SpectrumAnalyser::kSpectrumFloorDb,
					     *std::max_element(bins.begin() + lo, bins.begin() + hi + 1));
		float &column = columnLevels[size_t(i)];
		if (level == column)
			continue;
		column = level;
		if (changed.empty())
			changed = {i, i};
		changed.last = i;
	}
	return changed;
}

// Column i spans the bins from its own start frequency to the next column's.
void SpectrumColumns::layOut(int n, uint32_t sampleRate)
{
	columnCount = n;
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
