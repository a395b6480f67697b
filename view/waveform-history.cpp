#include "waveform-history.hpp"

#include <algorithm>
#include <cmath>

namespace {

void widen(float &lo, float &hi, float v)
{
	if (v < lo)
		lo = v;
	if (v > hi)
		hi = v;
}

} // namespace

void WaveformHistory::updateColumnWidth(int contentWidth, uint32_t sampleRate, double seconds)
{
	const double s = double(sampleRate) * seconds / double(contentWidth);
	if (std::fabs(s - perColumn) <= 1e-9)
		return;
	std::deque<WaveColumn>().swap(columns); // releases the storage too
	pendingSamples = 0.0;
	columnOpen = false;
	perColumn = std::max(s, 1.0);
}

void WaveformHistory::push(const std::vector<float> &left, const std::vector<float> &right, int contentWidth)
{
	if (left.empty())
		return;
	for (size_t i = 0; i < left.size(); i++) {
		const float a = left[i];
		const float b = i < right.size() ? right[i] : a;
		if (!columnOpen) {
			openColumn = {a, a, b, b};
			columnOpen = true;
		} else {
			widen(openColumn.minL, openColumn.maxL, a);
			widen(openColumn.minR, openColumn.maxR, b);
		}
		// The count restarts at 0, so every column holds ceil(perColumn)
		// samples.
		pendingSamples += 1.0;
		if (pendingSamples >= perColumn) {
			columns.push_back(openColumn);
			columnOpen = false;
			pendingSamples = 0.0;
			trim(contentWidth);
		}
	}
	trim(contentWidth);
}

void WaveformHistory::clear()
{
	std::deque<WaveColumn>().swap(columns);
	pendingSamples = 0.0;
	columnOpen = false;
	openColumn = WaveColumn{};
}

void WaveformHistory::trim(int contentWidth)
{
	while (columns.size() > size_t(contentWidth + kSpareColumns))
		columns.pop_front();
}
