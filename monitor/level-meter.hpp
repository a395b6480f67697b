#pragma once

#include <cmath>
#include <vector>

// Peak and RMS metering of drained blocks, in dB relative to full scale.
namespace meter {

constexpr float kSilenceDb = -120.0f;                           // the floor every meter rests on
constexpr float kClipPeak = 0.999f;                             // a sample this close to full scale clips
inline const float kClipPeakDb = 20.0f * std::log10(kClipPeak); // as a level, computed as levels are
constexpr double kPeakFallDbPerSecond = 24.0;
constexpr double kRmsFallDbPerSecond = 20.0;

struct BlockLevels {
	float peak = 0.0f; // largest magnitude, linear
	float peakDb = kSilenceDb;
	float rmsDb = kSilenceDb;
};

// Over the left samples and, when stereo, the right ones too: one RMS for both
// channels together, the sum of squares in double.
BlockLevels measureBlock(const std::vector<float> &left, const std::vector<float> &right, bool stereo);

// A level after dt seconds of falling at the given rate, never below silence.
float fall(float db, double dbPerSecond, double dt);

} // namespace meter
