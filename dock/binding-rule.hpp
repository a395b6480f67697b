#pragma once

// When the panel binds a source by itself, and whether it saves it: the whole
// rule in one place, as states and the events that move between them. It knows
// nothing of libobs or widgets; the panel feeds it events and carries out the
// steps it returns.
enum class BindingState {
	Restoring,        // nothing bound: the next refresh binds the saved source or a fallback, and saves it
	Chosen,           // the user's choice, or what restoring bound: nothing automatic while it stays
	RestoringStandIn, // in a collection or profile without the saved source: bind one that stands in, unsaved
	StandingIn,       // a stand-in is bound; the saved choice is left for the way back
	NoneChosen,       // the user chose no source: nothing automatic until OBS starts again
	Loading,          // OBS is tearing down or loading a collection: nothing may be bound
	ShuttingDown,     // OBS is exiting or the panel is going
};

// What the panel does after an event, in this order.
struct BindingStep {
	bool restoreMode = false; // read the display mode from the (new) profile
	bool unbind = false;
	bool refresh = false; // refresh the list, binding automatically if the state says so
};

class BindingRule {
public:
	BindingState state() const { return current; }
	// A refresh may bind automatically.
	bool restorePending() const
	{
		return current == BindingState::Restoring || current == BindingState::RestoringStandIn;
	}
	// What an automatic bind binds is saved, unless it is the saved source anyway.
	bool savesAutomaticBind() const { return current == BindingState::Restoring; }
	bool shuttingDown() const { return current == BindingState::ShuttingDown; }

	// bound: the choice left a source bound (the none entry, or a source gone
	// meanwhile, leave none).
	void userChose(bool bound);
	// A refresh no longer found the bound source; the next one restores.
	void lostBound();
	void boundAutomatically(bool savedSource);

	// OBS's announcements. A collection switch starts with changing (never
	// the first load), every clean-up with cleanup; changed or finished
	// loading ends it.
	BindingStep collectionChanging();
	BindingStep collectionCleanup();
	BindingStep collectionLoaded();
	void profileChanging();
	// savedListed: the new profile's saved source is among the sources;
	// showingIt: the source to show there is already the bound one.
	BindingStep profileChanged(bool savedListed, bool showingIt);
	BindingStep exit();
	void shutDown() { current = BindingState::ShuttingDown; }

private:
	BindingStep startLoading(bool switching);

	BindingState current = BindingState::Restoring;
	BindingState afterLoading = BindingState::Restoring; // where Loading goes once OBS has loaded
	bool profileSwitching = false; // OBS 31 and later announce a first profile as changed, with no switch
};
