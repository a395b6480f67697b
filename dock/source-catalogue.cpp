#include "source-catalogue.hpp"

#include "locale-text.hpp"
#include "profile-settings.hpp"
#include "tovrin.hpp"

#include <obs.hpp>

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>

// OBS's own desktop-audio capture where it runs: WASAPI's on Windows, and
// elsewhere PulseAudio's, which OBS uses on Linux (the Windows type never
// exists there).
#ifdef _WIN32
const char *const kDesktopAudioSourceId = "wasapi_output_capture";
#else
const char *const kDesktopAudioSourceId = "pulse_output_capture";
#endif

namespace {

bool collectAudioSource(void *param, obs_source_t *source)
{
	if (!(obs_source_get_output_flags(source) & OBS_SOURCE_AUDIO))
		return true;
	// libobs goes on listing a removed source while anyone holds a reference,
	// and the panel holds one: as listed, it would stay bound (and alive,
	// capturing) forever.
	if (obs_source_removed(source))
		return true;
	const char *uuid = obs_source_get_uuid(source);
	const char *name = obs_source_get_name(source);
	if (!uuid || !name || !*name)
		return true;
	SourceEntry entry;
	entry.uuid = QString::fromUtf8(uuid);
	entry.name = QString::fromUtf8(name);
	entry.id = QString::fromUtf8(obs_source_get_id(source));
	entry.audioActive = obs_source_active(source) && obs_source_audio_active(source);
	static_cast<SourceCatalogue *>(param)->push_back(entry);
	return true;
}

int findUuid(const QComboBox *combo, const QString &uuid)
{
	return combo->findData(uuid, Qt::UserRole, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

} // namespace

SourceCatalogue collectCatalogue()
{
	SourceCatalogue catalogue;
	obs_enum_sources(collectAudioSource, &catalogue);
	std::sort(catalogue.begin(), catalogue.end(), [](const SourceEntry &a, const SourceEntry &b) {
		return QString::localeAwareCompare(a.name, b.name) < 0;
	});
	return catalogue;
}

QString sourceKey(const QString &uuid, const QString &name)
{
	return uuid + QLatin1Char('\n') + name;
}

QStringList catalogueKeys(const SourceCatalogue &catalogue)
{
	QStringList keys;
	for (const SourceEntry &entry : catalogue)
		keys << sourceKey(entry.uuid, entry.name);
	return keys;
}

const SourceEntry *chooseAutomatic(const SourceCatalogue &catalogue, const QString &savedUuid)
{
	auto first = [&](auto matches) -> const SourceEntry * {
		auto it = std::find_if(catalogue.begin(), catalogue.end(), matches);
		return it == catalogue.end() ? nullptr : &*it;
	};
	const SourceEntry *chosen = nullptr;
	if (!savedUuid.isEmpty())
		chosen = first([&](const SourceEntry &e) { return e.uuid == savedUuid; });
	if (!chosen)
		chosen = first([](const SourceEntry &e) { return e.id == QLatin1String(kDesktopAudioSourceId); });
	if (!chosen)
		chosen = first([](const SourceEntry &e) { return e.audioActive; });
	if (!chosen && !catalogue.empty())
		chosen = &catalogue.front();
	return chosen;
}

void Tovrin::refreshSources(bool allowRestore)
{
	if (updatingControls || binding.shuttingDown())
		return;
	const SourceCatalogue catalogue = collectCatalogue();
	rebuildSourceCombo(catalogue);

	QString current = boundUuid;
	if (!current.isEmpty() && findUuid(sourceCombo, current) < 0) {
		unbindSource();
		current.clear();
		binding.lostBound();
	}
	if (current.isEmpty() && allowRestore && binding.restorePending() && !catalogue.empty())
		current = bindAutomatic(catalogue);
	showCurrentSource(current);
}

// Rebuilt only when the listed sources changed, so a steady refresh leaves the
// list, its selection and the user's open popup alone. A list without its none
// entry is rebuilt too: with no audio source at all the keys compare equal,
// and the user would be left with an empty list.
void Tovrin::rebuildSourceCombo(const SourceCatalogue &catalogue)
{
	const QStringList keys = catalogueKeys(catalogue);
	QStringList shown;
	for (int i = 0; i < sourceCombo->count(); i++) {
		const QString uuid = sourceCombo->itemData(i, Qt::UserRole).toString();
		if (!uuid.isEmpty())
			shown << sourceKey(uuid, sourceCombo->itemText(i));
	}
	if (keys == shown && sourceCombo->count() > 0)
		return;

	QSignalBlocker block(sourceCombo);
	updatingControls = true;
	sourceCombo->clear();
	sourceCombo->insertItem(sourceCombo->count(), localeText("Source.None"), QVariant(QString()));
	for (const SourceEntry &entry : catalogue)
		sourceCombo->insertItem(sourceCombo->count(), entry.name, QVariant(entry.uuid));
	updatingControls = false;
}

QString Tovrin::bindAutomatic(const SourceCatalogue &catalogue)
{
	const QString saved = profilesettings::readString("SourceUuid");
	const SourceEntry *chosen = chooseAutomatic(catalogue, saved);
	OBSSourceAutoRelease source = obs_get_source_by_uuid(chosen->uuid.toUtf8().constData());
	if (!source)
		return QString();
	const bool isSaved = chosen->uuid == saved;
	bindSource(source, binding.savesAutomaticBind() || isSaved);
	binding.boundAutomatically(isSaved);
	return chosen->uuid;
}

void Tovrin::showCurrentSource(const QString &uuid)
{
	if (uuid.isEmpty()) {
		QSignalBlocker block(sourceCombo);
		sourceCombo->setCurrentIndex(0);
		setControlsEnabled(false);
		return;
	}
	const int index = findUuid(sourceCombo, uuid);
	if (index >= 0 && index != sourceCombo->currentIndex()) {
		QSignalBlocker block(sourceCombo);
		sourceCombo->setCurrentIndex(index);
	}
}
