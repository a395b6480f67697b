#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The spectrum as the plot draws it: the loudest bin under each pixel column
// of a logarithmic 20 Hz to 20 kHz axis, never below the floor. Each column's
// bins are worked out once per width and sample rate.
class SpectrumColumns {
public:
	const std::vector<float> &levels(const std::vector<float> &bins, int n, uint32_t sampleRate);

private:
	void layOut(int n, uint32_t sampleRate);

	std::vector<std::pair<int, int>> ranges; // first and last bin of each column
	int width = 0;
	uint32_t rate = 0;
	std::vector<float> columnLevels;
};
