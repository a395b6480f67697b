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

// Every source with audio, a uuid and a name, in locale-aware name order.
SourceCatalogue collectCatalogue();
// uuid, line feed, name: what makes the source list look different.
QString sourceKey(const QString &uuid, const QString &name);
QStringList catalogueKeys(const SourceCatalogue &catalogue);
// The source to bind when nothing is: the saved one, else the first desktop
// audio capture, else the first with audio playing, else the first. Null when
// the catalogue is empty.
const SourceEntry *chooseAutomatic(const SourceCatalogue &catalogue, const QString &savedUuid);
