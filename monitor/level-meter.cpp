#include "level-meter.hpp"

#include <algorithm>
#include <cmath>

namespace meter {

namespace {

// Below this an amplitude reads as silence rather than about -140 dB.
constexpr float kQuietestAmplitude = 1e-7f;

float toDb(float amplitude)
{
	return amplitude > kQuietestAmplitude ? 20.0f * std::log10(amplitude) : kSilenceDb;
}

void accumulate(const std::vector<float> &samples, float &peak, double &sum)
{
	for (float s : samples) {
		peak = std::max(peak, std::fabs(s));
		sum += double(s) * double(s);
	}
}

} // namespace

BlockLevels measureBlock(const std::vector<float> &left, const std::vector<float> &right, bool stereo)
{
	BlockLevels levels;
	double sum = 0.0;
	accumulate(left, levels.peak, sum);
	size_t n = left.size();
	if (stereo) {
		accumulate(right, levels.peak, sum);
		n += right.size();
	}
	if (n == 0)
		return levels;
	levels.peakDb = toDb(levels.peak);
	levels.rmsDb = toDb(float(std::sqrt(sum / double(n))));
	return levels;
}

float fall(float db, double dbPerSecond, double dt)
{
	return std::max(db - float(dbPerSecond * dt), kSilenceDb);
}

} // namespace meter
