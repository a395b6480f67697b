#include "tovrin.hpp"

#include "locale-text.hpp"
#include "profile-settings.hpp"
#include "monitoring.hpp"
#include "view/waveform-view.hpp"
#include "volume-scale.hpp"

#include <obs.hpp>

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace {

QString inputTitle()
{
	return localeText("Input.Title");
}

} // namespace

// The caller keeps its own reference to source; the feed takes one of its own
// for the whole binding.
void Tovrin::bindSource(obs_source_t *source, bool saveChoice)
{
	unbindSource();
	if (!source || !inputFeed.bind(source))
		return; // none, or being destroyed: stay unbound
	boundUuid = QString::fromUtf8(obs_source_get_uuid(source));
	if (saveChoice)
		profilesettings::writeString("SourceUuid", boundUuid);

	resetInput();
	updateInputTitle();
	setControlsEnabled(true);
	syncControls();
	blog(LOG_INFO, "[tovrin] monitoring source '%s'", obs_source_get_name(source));
}

void Tovrin::unbindSource()
{
	inputFeed.unbind();
	boundUuid.clear();
	resetInput();
	if (inputView)
		inputView->setTitle(inputTitle());
	setControlsEnabled(false);
}

// A fresh picture: nothing of the previous source's audio shows.
void Tovrin::resetInput()
{
	inputMonitor.reset();
	showNow(inputMonitor, inputView);
}

void Tovrin::onSourceChanged(int index)
{
	if (updatingControls || binding.shuttingDown())
		return;
	const QString uuid = index >= 0 ? sourceCombo->itemData(index, Qt::UserRole).toString() : QString();
	if (uuid.isEmpty())
		unbindSource();
	else if (uuid != boundUuid || !boundSource())
		bindChosen(uuid);
	binding.userChose(boundSource() != nullptr);
}

// A source gone since the list was filled leaves nothing bound.
void Tovrin::bindChosen(const QString &uuid)
{
	OBSSourceAutoRelease source = obs_get_source_by_uuid(uuid.toUtf8().constData());
	if (source)
		bindSource(source);
	else
		unbindSource();
}

// Copies the source's state into the controls. The controls' signals still
// fire; updatingControls keeps their slots from writing it back.
void Tovrin::syncControls()
{
	obs_source_t *source = boundSource();
	if (updatingControls || binding.shuttingDown() || !source)
		return;
	updatingControls = true;
	monitorButton->setChecked(monitoringEnabled(source));
	muteButton->setChecked(obs_source_muted(source));
	// The user's drag wins over a sync.
	if (volumeSlider && !volumeSlider->isSliderDown()) {
		const volumescale::SliderPosition pos = volumescale::sliderFromVolume(obs_source_get_volume(source));
		volumeSlider->setValue(pos.value);
		if (volumeLabel)
			volumeLabel->setText(volumescale::formatVolumeLabel(pos.db));
	}
	updatingControls = false;
}

void Tovrin::updateInputTitle()
{
	if (!inputView)
		return;
	obs_source_t *source = boundSource();
	inputView->setTitle(source ? QString::fromUtf8(obs_source_get_name(source)) : inputTitle());
}
