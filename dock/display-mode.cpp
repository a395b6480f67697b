#include "tovrin.hpp"

#include "view/waveform-view.hpp"

#include "profile-settings.hpp"

#include <QComboBox>

// The mode list and the stored "DisplayMode" count Spectrum first (0) and
// Waveform second (1); only 1 means Waveform, anything else Spectrum.
namespace {
constexpr int kWaveformIndex = 1;
}

void Tovrin::onModeChanged(int index)
{
	if (updatingControls || binding.shuttingDown())
		return;
	setDisplayMode(index == kWaveformIndex ? 1 : 0, true);
}

void Tovrin::setDisplayMode(int index, bool persist)
{
	const bool waveform = index == kWaveformIndex;
	applyDisplayMode(waveform);
	if (persist)
		profilesettings::writeInt("DisplayMode", waveform ? 1 : 0);
}

// Read once per panel and applied without writing back, so a first start
// leaves the profile untouched.
void Tovrin::restoreDisplayMode()
{
	setDisplayMode(profilesettings::readInt("DisplayMode"), false);
}

void Tovrin::applyDisplayMode(bool waveform)
{
	updatingControls = true;
	if (modeCombo)
		modeCombo->setCurrentIndex(waveform ? 1 : 0);
	updatingControls = false;
	const ViewMode mode = waveform ? ViewMode::Waveform : ViewMode::Spectrum;
	if (inputMonitor.setMode(mode))
		showNow(inputMonitor, inputView);
	if (masterMonitor.setMode(mode))
		showNow(masterMonitor, masterView);
}
