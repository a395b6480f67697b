#include "tovrin.hpp"

#include "locale-text.hpp"
#include "profile-settings.hpp"
#include "source-ref.hpp"
#include "view/waveform-view.hpp"
#include "volume-scale.hpp"

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

// The caller keeps its own reference to source; the panel takes one weak and
// one strong reference of its own for the whole binding.
void Tovrin::bindSource(obs_source_t *source, bool saveChoice)
{
	unbindSource();
	if (!source)
		return;

	weakSource = obs_source_get_weak_source(source);
	boundSource = obs_source_get_ref(source);
	if (!boundSource) {
		// The source is being destroyed: stay unbound.
		weakSource.reset();
		return;
	}
	boundUuid = QString::fromUtf8(obs_source_get_uuid(source));
	sourceCapture.add(boundSource, onSourceAudio, this);
	if (saveChoice)
		profilesettings::writeString("SourceUuid", boundUuid);

	// Whatever the new callback pushed before the panel was ready goes.
	inputTap.clear();
	inputView->reset();
	updateInputTitle();
	setControlsEnabled(true);
	syncControls();
	blog(LOG_INFO, "[tovrin] monitoring source '%s'", obs_source_get_name(source));
}

void Tovrin::unbindSource()
{
	// The callback reads boundSource: it goes first.
	sourceCapture.remove();
	boundSource.reset();
	weakSource.reset();
	boundUuid.clear();
	inputTap.clear();
	if (inputView) {
		inputView->reset();
		inputView->setTitle(inputTitle());
	}
	setControlsEnabled(false);
}

void Tovrin::onSourceChanged(int index)
{
	if (updatingControls || binding.shuttingDown())
		return;
	const QString uuid = index >= 0 ? sourceCombo->itemData(index, Qt::UserRole).toString() : QString();
	if (uuid.isEmpty())
		unbindSource();
	else if (uuid != boundUuid || !boundSource)
		bindChosen(uuid);
	binding.userChose(boundSource != nullptr);
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
	if (updatingControls || binding.shuttingDown() || !weakSource)
		return;
	OBSSourceAutoRelease source = resolveWeak(weakSource);
	if (!source)
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
	OBSSourceAutoRelease source = resolveWeak(weakSource);
	inputView->setTitle(source ? QString::fromUtf8(obs_source_get_name(source)) : inputTitle());
}
