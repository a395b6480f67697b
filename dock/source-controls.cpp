#include "tovrin.hpp"

#include "locale-text.hpp"
#include "monitoring.hpp"
#include "view/waveform-view.hpp"
#include "volume-scale.hpp"

#include <obs-frontend-api.h>

#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QSlider>

// Every control acts on the bound source, and does nothing while none is.

void Tovrin::onMonitorToggled(bool checked)
{
	if (updatingControls || binding.shuttingDown())
		return;
	if (obs_source_t *source = boundSource())
		setMonitoringEnabled(source, checked);
}

void Tovrin::onMuteToggled(bool checked)
{
	if (updatingControls || binding.shuttingDown())
		return;
	if (obs_source_t *source = boundSource())
		obs_source_set_muted(source, checked);
}

void Tovrin::onVolumeSliderChanged(int value)
{
	if (updatingControls || binding.shuttingDown())
		return;
	if (volumeLabel)
		volumeLabel->setText(volumescale::formatVolumeLabel(volumescale::dbFromSlider(value)));
	if (obs_source_t *source = boundSource())
		obs_source_set_volume(source, volumescale::multiplierFromSlider(value));
}

// Through the slider, so that a slider already at 0 dB changes nothing and a
// source above unity keeps its gain.
void Tovrin::onResetVolume()
{
	if (volumeSlider)
		volumeSlider->setValue(volumescale::kSliderMax);
}

void Tovrin::openFilters()
{
	if (obs_source_t *source = boundSource())
		obs_frontend_open_source_filters(source);
}

void Tovrin::openProperties()
{
	if (obs_source_t *source = boundSource())
		obs_frontend_open_source_properties(source);
}

void Tovrin::showContextMenu(const QPoint &pos)
{
	auto *view = qobject_cast<WaveformView *>(sender());
	const QPoint global = view ? view->mapToGlobal(pos) : QCursor::pos();

	// Parented to the top-level window: newer Qt (6.11 with OBS 32) takes the
	// nearest window as the menu's transient parent, and a dock that once
	// floated keeps a window of its own that is no top-level one once docked.
	QMenu menu(window());
	bool monitoring = false, muted = false, bound = false;
	if (obs_source_t *source = boundSource()) {
		bound = true;
		monitoring = monitoringEnabled(source);
		muted = obs_source_muted(source);
	}
	auto add = [&](const char *key, bool checkable, bool checked) {
		QAction *action = menu.addAction(localeText(key));
		action->setCheckable(checkable);
		action->setChecked(checked);
		action->setEnabled(bound);
		return action;
	};
	connect(add("Monitor", true, monitoring), &QAction::triggered, this, &Tovrin::onMonitorToggled);
	connect(add("Mute", true, muted), &QAction::triggered, this, &Tovrin::onMuteToggled);
	connect(add("Volume.Reset", false, false), &QAction::triggered, this, &Tovrin::onResetVolume);
	menu.addSeparator();
	connect(add("Filters", false, false), &QAction::triggered, this, &Tovrin::openFilters);
	connect(add("Properties", false, false), &QAction::triggered, this, &Tovrin::openProperties);
	menu.exec(global);
}
