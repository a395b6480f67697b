#include "tovrin.hpp"

#include "profile-settings.hpp"
#include "source-catalogue.hpp"

#include <obs-frontend-api.h>

#include <utility>

// OBS tears every source down when it switches scene collections and when it
// exits, and it complains (and on a switch shows an error and closes) if one is
// still referenced. So the binding goes before that, and no source may be bound
// automatically, and so overwrite the saved one, until a collection is loaded
// again.
void Tovrin::onFrontendEvent(enum obs_frontend_event event, void *param)
{
	auto *panel = static_cast<Tovrin *>(param);
	switch (event) {
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGING: // only a switch the user makes, never the first load
		panel->releaseForCleanup();
		panel->collectionSwitching = true;
		break;
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CLEANUP:
		panel->releaseForCleanup();
		break;
	case OBS_FRONTEND_EVENT_EXIT:
		panel->releaseForCleanup();
		// The front end drops every callback before it deletes the docks and
		// complains of any removal after that: now is the last moment.
		panel->frontendEvents.remove();
		break;
	case OBS_FRONTEND_EVENT_PROFILE_CHANGING:
		panel->profileSwitching = true;
		break;
	case OBS_FRONTEND_EVENT_PROFILE_CHANGED:
		if (std::exchange(panel->profileSwitching, false))
			panel->followProfile();
		break;
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED: // OBS 31 and later announce the first load too
	case OBS_FRONTEND_EVENT_FINISHED_LOADING:         // the first collection loads with a clean-up too
		panel->restoreAfterCleanup();
		break;
	default:
		break;
	}
}

void Tovrin::releaseForCleanup()
{
	if (closing)
		return;
	// A user who chose no source keeps that choice through the switch.
	if (!collectionLoading)
		restoreWanted = boundSource != nullptr || restorePending;
	collectionLoading = true;
	unbindSource();
	showCurrentSource(QString());
}

void Tovrin::restoreAfterCleanup()
{
	if (closing || !collectionLoading)
		return;
	collectionLoading = false;
	if (collectionSwitching)
		saveFallback = false;
	collectionSwitching = false;
	restorePending = restoreWanted;
	refreshSources(true);
}

// Each profile keeps its own choice: the mode and source it saved, or, with
// no saved source here, a fallback that is not saved over that. A source that
// is already the one to show stays bound.
void Tovrin::followProfile()
{
	if (closing)
		return;
	restoreDisplayMode();
	if (collectionLoading)
		return;
	const SourceCatalogue catalogue = collectCatalogue();
	const QString saved = profilesettings::readString("SourceUuid");
	const SourceEntry *chosen = catalogue.empty() ? nullptr : chooseAutomatic(catalogue, saved);
	saveFallback = chosen && chosen->uuid == saved;
	if (chosen && chosen->uuid == boundUuid && boundSource)
		return;
	unbindSource();
	restorePending = true;
	refreshSources(true);
}
