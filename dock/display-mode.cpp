#include "tovrin.hpp"

#include "view/waveform-view.hpp"

#include "profile-settings.hpp"

#include <QComboBox>

// The mode list and the stored "DisplayMode" number the modes as ViewMode
// does: only 1 means Waveform, anything else Spectrum.
namespace {
ViewMode modeNumbered(int64_t number)
{
	return number == int64_t(ViewMode::Waveform) ? ViewMode::Waveform : ViewMode::Spectrum;
}
} // namespace

void Tovrin::onModeChanged(int index)
{
	if (updatingControls || binding.shuttingDown())
		return;
	setDisplayMode(modeNumbered(index), true);
}

void Tovrin::setDisplayMode(ViewMode mode, bool persist)
{
	applyDisplayMode(mode);
	if (persist)
		profilesettings::writeInt("DisplayMode", int64_t(mode));
}

// Read once per panel and applied without writing back, so a first start
// leaves the profile untouched.
void Tovrin::restoreDisplayMode()
{
	setDisplayMode(modeNumbered(profilesettings::readInt("DisplayMode")), false);
}

void Tovrin::applyDisplayMode(ViewMode mode)
{
	updatingControls = true;
	if (modeCombo)
		modeCombo->setCurrentIndex(int(mode));
	updatingControls = false;
	if (inputMonitor.setMode(mode))
		showNow(inputMonitor, inputView);
	if (masterMonitor.setMode(mode))
		showNow(masterMonitor, masterView);
}
