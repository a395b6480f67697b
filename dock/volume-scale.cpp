#include "volume-scale.hpp"

#include <algorithm>
#include <cmath>

namespace volumescale {

namespace {
constexpr float kSilentMultiplier = 0.000001f;
}

float dbFromSlider(int value)
{
	return float(value) / kUnitsPerDb + kSliderBottomDb;
}

float multiplierFromSlider(int value)
{
	if (value <= 0)
		return 0.0f;
	return powf(10.0f, dbFromSlider(value) / 20.0f);
}

SliderPosition sliderFromVolume(float multiplier)
{
	float db = multiplier > kSilentMultiplier ? 20.0f * log10f(multiplier) : kSliderBottomDb;
	db = std::clamp(db, kSliderBottomDb, 0.0f);
	const long value = lroundf((db - kSliderBottomDb) * kUnitsPerDb);
	return {int(std::clamp<long>(value, 0, kSliderMax)), db};
}

QString formatVolumeLabel(float db)
{
	return QString::number(double(db), 'f', 1) + QStringLiteral(" dB");
}

} // namespace volumescale
