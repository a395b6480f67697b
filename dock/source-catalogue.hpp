#pragma once

#include <QString>
#include <QStringList>

#include <vector>

struct obs_source;
typedef struct obs_source obs_source_t;

// One source the user can choose for the upper view.
struct SourceEntry {
	QString uuid;
	QString name;
	QString id;
	bool audioActive = false;
};

using SourceCatalogue = std::vector<SourceEntry>;

// The type of OBS's desktop-audio capture on this platform: the best guess at
// what a user wants to watch when nothing was chosen yet.
extern const char *const kDesktopAudioSourceId;

// Every source with audio, a uuid and a name, in locale-aware name order.
SourceCatalogue collectCatalogue();
// uuid, line feed, name: what makes the source list look different.
QString sourceKey(const QString &uuid, const QString &name);
QStringList catalogueKeys(const SourceCatalogue &catalogue);
// The source to bind when nothing is: the saved one, else the first desktop
// audio capture of this platform, else the first with audio playing, else the first. Null when
// the catalogue is empty.
const SourceEntry *chooseAutomatic(const SourceCatalogue &catalogue, const QString &savedUuid);
