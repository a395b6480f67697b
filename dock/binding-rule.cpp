#include "binding-rule.hpp"

void BindingRule::userChose(bool bound)
{
	if (shuttingDown())
		return;
	current = bound ? BindingState::Chosen : BindingState::NoneChosen;
}

void BindingRule::lostBound()
{
	if (current == BindingState::Chosen)
		current = BindingState::Restoring;
	else if (current == BindingState::StandingIn)
		current = BindingState::RestoringStandIn;
}

// Finding the saved source again ends a stand-in.
void BindingRule::boundAutomatically(bool savedSource)
{
	if (current == BindingState::Restoring || (current == BindingState::RestoringStandIn && savedSource))
		current = BindingState::Chosen;
	else if (current == BindingState::RestoringStandIn)
		current = BindingState::StandingIn;
}

// OBS complains of any source still referenced while it clears a collection,
// so the binding goes first. In another collection the saved source is most
// likely absent: what stands in for it is not saved over it, so that
// switching back restores it. A user who chose none keeps that.
BindingStep BindingRule::startLoading(bool switching)
{
	if (shuttingDown())
		return {};
	const BindingState before = current == BindingState::Loading ? afterLoading : current;
	if (before == BindingState::NoneChosen)
		afterLoading = BindingState::NoneChosen;
	else if (switching || before == BindingState::StandingIn || before == BindingState::RestoringStandIn)
		afterLoading = BindingState::RestoringStandIn;
	else
		afterLoading = BindingState::Restoring;
	current = BindingState::Loading;
	return {false, true, false};
}

BindingStep BindingRule::collectionChanging()
{
	return startLoading(true);
}

BindingStep BindingRule::collectionCleanup()
{
	return startLoading(false);
}

BindingStep BindingRule::collectionLoaded()
{
	if (current != BindingState::Loading)
		return {};
	current = afterLoading;
	return {false, false, true};
}

void BindingRule::profileChanging()
{
	profileSwitching = true;
}

// Each profile keeps its own choice: the source it saved, or, with none saved
// there, one that stands in without being saved. None chosen holds through it.
BindingStep BindingRule::profileChanged(bool savedListed, bool showingIt)
{
	if (!profileSwitching || shuttingDown())
		return {};
	profileSwitching = false;
	if (current == BindingState::Loading || current == BindingState::NoneChosen)
		return {true, false, false};
	if (showingIt) {
		current = savedListed ? BindingState::Chosen : BindingState::StandingIn;
		return {true, false, false};
	}
	current = savedListed ? BindingState::Restoring : BindingState::RestoringStandIn;
	return {true, true, true};
}

// The front end drops its callbacks before it deletes the docks: nothing may
// be bound after this.
BindingStep BindingRule::exit()
{
	if (shuttingDown())
		return {};
	current = BindingState::ShuttingDown;
	return {false, true, false};
}
