#include "tovrin.hpp"

#include "profile-settings.hpp"
#include "source-catalogue.hpp"

#include <obs-frontend-api.h>

// OBS's announcements go to the binding rule; the panel carries out its steps.
void Tovrin::onFrontendEvent(enum obs_frontend_event event, void *param)
{
	auto *panel = static_cast<Tovrin *>(param);
	BindingRule &rule = panel->binding;
	switch (event) {
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGING: // only a switch the user makes, never the first load
		panel->carryOut(rule.collectionChanging());
		break;
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CLEANUP:
		panel->carryOut(rule.collectionCleanup());
		break;
	case OBS_FRONTEND_EVENT_EXIT:
		panel->carryOut(rule.exit());
		// The front end drops every callback before it deletes the docks and
		// complains of any removal after that: now is the last moment.
		panel->frontendEvents.remove();
		break;
	case OBS_FRONTEND_EVENT_PROFILE_CHANGING:
		rule.profileChanging();
		break;
	case OBS_FRONTEND_EVENT_PROFILE_CHANGED:
		panel->followProfile();
		break;
	case OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED: // OBS 31 and later announce the first load too
	case OBS_FRONTEND_EVENT_FINISHED_LOADING:         // the first collection loads with a clean-up too
		panel->carryOut(rule.collectionLoaded());
		break;
	default:
		break;
	}
}

// What the new profile would show: its saved source, else a fallback. One
// that is already bound stays bound.
void Tovrin::followProfile()
{
	const SourceCatalogue catalogue = collectCatalogue();
	const QString saved = profilesettings::readString("SourceUuid");
	const SourceEntry *chosen = catalogue.empty() ? nullptr : chooseAutomatic(catalogue, saved);
	const bool showingIt = chosen && chosen->uuid == boundUuid && boundSource();
	carryOut(binding.profileChanged(chosen && chosen->uuid == saved, showingIt));
}

void Tovrin::carryOut(const BindingStep &step)
{
	if (step.restoreMode)
		restoreDisplayMode();
	if (step.unbind) {
		unbindSource();
		showCurrentSource(QString());
	}
	if (step.refresh)
		refreshSources(true);
}
