#pragma once

#include <cstdint>
#include <deque>
#include <vector>

// Minimum and maximum of both channels over one pixel column of waveform.
struct WaveColumn {
	float minL = 0.0f;
	float maxL = 0.0f;
	float minR = 0.0f;
	float maxR = 0.0f;
	bool operator==(const WaveColumn &o) const
	{
		return minL == o.minL && maxL == o.maxL && minR == o.minR && maxR == o.maxR;
	}
};

// The scrolling waveform as data: drained samples folded into per-column
// minima and maxima, as many columns as the plot is wide and a few more.
class WaveformHistory {
public:
	static constexpr int kSpareColumns = 4;

	// The time scale for a plot contentWidth pixels wide showing seconds of
	// audio; any change throws the picture away and returns true.
	bool updateColumnWidth(int contentWidth, uint32_t sampleRate, double seconds);
	// right may be shorter than left (or empty): channel 0 stands in for it.
	// Returns whether the newest contentWidth columns, the ones a plot of that
	// width shows, changed.
	bool push(const std::vector<float> &left, const std::vector<float> &right, int contentWidth);
	void clear();

	size_t size() const { return columns.size(); }
	const WaveColumn &at(size_t fromOldest) const { return columns[fromOldest]; }
	double samplesPerColumn() const { return perColumn; }

private:
	void append(const WaveColumn &column);
	void trim(int contentWidth);

	std::deque<WaveColumn> columns;
	double perColumn = 1.0;
	double pendingSamples = 0.0;
	WaveColumn openColumn;
	bool columnOpen = false;
	// Equal columns appended in a row, the newest last, trimmed ones included:
	// scrolling a run of them along changes no pixel.
	size_t uniformRun = 0;
};
