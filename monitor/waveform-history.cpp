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

bool WaveformHistory::updateColumnWidth(int contentWidth, uint32_t sampleRate, double seconds)
{
	const double s = double(sampleRate) * seconds / double(contentWidth);
	if (std::fabs(s - perColumn) <= 1e-9)
		return false;
	std::deque<WaveColumn>().swap(columns); // releases the storage too
	pendingSamples = 0.0;
	columnOpen = false;
	uniformRun = 0;
	perColumn = std::max(s, 1.0);
	return true;
}

bool WaveformHistory::push(const std::vector<float> &left, const std::vector<float> &right, int contentWidth)
{
	if (left.empty())
		return false;
	const size_t before = columns.size();
	size_t appended = 0;
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
			append(openColumn);
			appended++;
			columnOpen = false;
			pendingSamples = 0.0;
			trim(contentWidth);
		}
	}
	trim(contentWidth);
	if (appended == 0)
		return false;
	// The plot shows the newest `shown` columns: the picture stays as it was
	// only when it was already full and everything scrolled out and in is one
	// run of equal columns.
	const size_t shown = size_t(std::max(contentWidth, 1));
	return before < shown || uniformRun < shown + appended;
}

void WaveformHistory::clear()
{
	std::deque<WaveColumn>().swap(columns);
	pendingSamples = 0.0;
	columnOpen = false;
	openColumn = WaveColumn{};
	uniformRun = 0;
}

void WaveformHistory::append(const WaveColumn &column)
{
	uniformRun = !columns.empty() && column == columns.back() ? uniformRun + 1 : 1;
	columns.push_back(column);
}

void WaveformHistory::trim(int contentWidth)
{
	while (columns.size() > size_t(contentWidth + kSpareColumns))
		columns.pop_front();
}
