#pragma once

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

// The audible range the spectrum shows, on a logarithmic axis: 20 Hz at the
// plot's left edge, 20 kHz at its right, ln(1000) between them.
namespace spectrumaxis {
constexpr double kLowHz = 20.0;
constexpr double kHighHz = 20000.0;
inline const double kDecades = std::log(kHighHz / kLowHz);
} // namespace spectrumaxis

// A run of pixel columns, first to last; empty when last < first.
struct ColumnSpan {
	int first = 0;
	int last = -1;
	bool empty() const { return last < first; }
};

// The spectrum as the plot draws it: the loudest bin under each pixel column
// of a logarithmic 20 Hz to 20 kHz axis, never below the floor. Each column's
// bins are worked out once per width and sample rate.
class SpectrumColumns {
public:
	// The levels for a plot n columns wide; returns the columns whose level
	// changed since the last update (all of them for a new width or rate).
	ColumnSpan update(const std::vector<float> &bins, int n, uint32_t sampleRate);
	const std::vector<float> &levels() const { return columnLevels; }
	bool laidOutFor(int n, uint32_t sampleRate) const { return n == columnCount && sampleRate == rate; }
	// Forgets what was drawn: the next update changes every column.
	void clear() { columnCount = 0; }

private:
	void layOut(int n, uint32_t sampleRate);

	std::vector<std::pair<int, int>> ranges; // first and last bin of each column
	int columnCount = 0;
	uint32_t rate = 0;
	std::vector<float> columnLevels;
};
