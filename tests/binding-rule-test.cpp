// The binding rule as sequences of events, without libobs or widgets.
#include "dock/binding-rule.hpp"

#include <gtest/gtest.h>

namespace {

using S = BindingState;

// A collection switch as OBS announces it; the refresh it ends with binds
// what the rule allows (savedThere: the saved source exists there).
void switchCollection(BindingRule &rule, bool savedThere)
{
	EXPECT_TRUE(rule.collectionChanging().unbind);
	rule.collectionCleanup();
	EXPECT_FALSE(rule.restorePending()) << "nothing bound while OBS clears and loads";
	EXPECT_TRUE(rule.collectionLoaded().refresh);
	if (rule.restorePending())
		rule.boundAutomatically(savedThere);
}

BindingStep switchProfile(BindingRule &rule, bool savedListed, bool showingIt)
{
	rule.profileChanging();
	return rule.profileChanged(savedListed, showingIt);
}

} // namespace

TEST(BindingRule, RestoresUntilABindAndAgainWhenTheBoundSourceIsLost)
{
	BindingRule rule;
	EXPECT_EQ(rule.state(), S::Restoring);
	EXPECT_TRUE(rule.restorePending());
	EXPECT_TRUE(rule.savesAutomaticBind()) << "a fallback at start becomes the saved choice";
	rule.boundAutomatically(false);
	EXPECT_EQ(rule.state(), S::Chosen);
	EXPECT_FALSE(rule.restorePending());
	rule.lostBound();
	EXPECT_EQ(rule.state(), S::Restoring);

	rule.userChose(true);
	rule.lostBound();
	EXPECT_TRUE(rule.restorePending()) << "the user's choice removed in OBS gives way to a fallback";
}

TEST(BindingRule, ACollectionSwitchStandsInWithoutSavingUntilTheSavedSourceIsBack)
{
	BindingRule rule;
	rule.userChose(true);
	switchCollection(rule, false);
	EXPECT_EQ(rule.state(), S::StandingIn);
	rule.lostBound();
	EXPECT_EQ(rule.state(), S::RestoringStandIn);
	EXPECT_FALSE(rule.savesAutomaticBind()) << "another stand-in is not saved either";
	rule.boundAutomatically(false);
	switchCollection(rule, true);
	EXPECT_EQ(rule.state(), S::Chosen) << "the saved source found again";

	switchCollection(rule, false);
	rule.userChose(true);
	EXPECT_EQ(rule.state(), S::Chosen) << "a choice in the list ends the stand-in";
}

// OBS loads the first collection with a clean-up and no switch: what binds
// then is saved.
TEST(BindingRule, TheFirstLoadIsNoSwitch)
{
	BindingRule rule;
	EXPECT_TRUE(rule.collectionCleanup().unbind);
	EXPECT_EQ(rule.state(), S::Loading);
	EXPECT_TRUE(rule.collectionLoaded().refresh);
	EXPECT_EQ(rule.state(), S::Restoring);
	EXPECT_FALSE(rule.collectionLoaded().refresh) << "OBS 31 announces it twice";
	EXPECT_FALSE(rule.profileChanged(true, false).restoreMode) << "a profile announced with no switch";
}

TEST(BindingRule, EachProfileShowsItsOwnChoiceAndStandsInWhereItHasNone)
{
	BindingRule rule;
	rule.boundAutomatically(true);
	BindingStep step = switchProfile(rule, true, false);
	EXPECT_TRUE(step.restoreMode && step.unbind && step.refresh);
	EXPECT_EQ(rule.state(), S::Restoring);
	rule.boundAutomatically(true);

	step = switchProfile(rule, false, true);
	EXPECT_TRUE(step.restoreMode);
	EXPECT_FALSE(step.unbind) << "the source to show is bound already";
	EXPECT_EQ(rule.state(), S::StandingIn);
	step = switchProfile(rule, false, false);
	EXPECT_EQ(rule.state(), S::RestoringStandIn);
	EXPECT_FALSE(rule.savesAutomaticBind());
}

TEST(BindingRule, NoneChosenHoldsThroughCollectionAndProfileSwitchesUntilTheUserChooses)
{
	BindingRule rule;
	rule.boundAutomatically(true);
	rule.userChose(false);
	EXPECT_EQ(rule.state(), S::NoneChosen);
	switchCollection(rule, true);
	EXPECT_EQ(rule.state(), S::NoneChosen);
	const BindingStep step = switchProfile(rule, true, false);
	EXPECT_TRUE(step.restoreMode) << "the new profile's mode still shows";
	EXPECT_FALSE(step.unbind || step.refresh);
	EXPECT_EQ(rule.state(), S::NoneChosen);
	rule.lostBound();
	EXPECT_FALSE(rule.restorePending());
	rule.userChose(true);
	EXPECT_EQ(rule.state(), S::Chosen);
}

TEST(BindingRule, NothingBindsFromExitOn)
{
	for (bool loading : {false, true}) {
		BindingRule rule;
		if (loading)
			rule.collectionCleanup();
		EXPECT_TRUE(rule.exit().unbind);
		EXPECT_TRUE(rule.shuttingDown());
		rule.userChose(true);
		EXPECT_FALSE(rule.collectionLoaded().refresh);
		rule.profileChanging();
		EXPECT_FALSE(rule.profileChanged(true, false).refresh);
		EXPECT_FALSE(rule.collectionChanging().unbind);
		EXPECT_EQ(rule.state(), S::ShuttingDown);
	}
}
