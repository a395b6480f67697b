#include "tovrin.hpp"

#include <obs-frontend-api.h>

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
