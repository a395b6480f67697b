#pragma once

#include <QString>

// The volume slider's scale: 0.1 dB a unit, 600 is 0 dB (unity), 0 is silence.
namespace volumescale {

constexpr float kSliderBottomDb = -60.0f; // the lowest audible position
constexpr float kUnitsPerDb = 10.0f;
constexpr int kSliderMax = int(-kSliderBottomDb * kUnitsPerDb); // 0 dB

struct SliderPosition {
	int value; // 0 to 600
	float db;  // the decibels it stands for, -60 to 0
};

float dbFromSlider(int value);
// 0 at the lowest position: silence, not the 0.001 that -60 dB would give.
float multiplierFromSlider(int value);
// Above unity reads as 0 dB, at or below 1e-6 as -60 dB.
SliderPosition sliderFromVolume(float multiplier);
QString formatVolumeLabel(float db);

} // namespace volumescale
