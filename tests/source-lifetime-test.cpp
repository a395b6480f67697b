// The bound source's life against OBS's: a source the user deletes, and the
// wholesale tear-down of a scene collection switch or of exiting.
#include "support/frontend-stand-in.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <obs.hpp>

#include <QComboBox>

#include <initializer_list>
#include <memory>
#include <string>

using Access = TovrinTestAccess;

namespace {

void markDestroyed(void *flag, calldata_t *)
{
	*static_cast<bool *>(flag) = true;
}

QString savedUuid()
{
	return QString::fromUtf8(config_get_string(standin::profileConfig(), "Tovrin", "SourceUuid"));
}

QString uuidOf(obs_source_t *s)
{
	return QString::fromUtf8(obs_source_get_uuid(s));
}

// A scene collection switch as OBS makes it: the old collection's sources
// removed, then the new one's created.
template<typename Load> void switchCollection(std::initializer_list<obs_source_t *> old, Load load)
{
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGING);
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CLEANUP);
	for (obs_source_t *s : old)
		obs_source_remove(s);
	load();
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED);
}

// A source loaded again from its collection: a new object under its old uuid.
obs_source_t *reload(const std::string &id, const std::string &name, const QString &uuid)
{
	OBSDataAutoRelease data = obs_data_create();
	obs_data_set_string(data, "id", id.c_str());
	obs_data_set_string(data, "name", name.c_str());
	obs_data_set_string(data, "uuid", uuid.toUtf8().constData());
	return obs_load_source(data);
}

} // namespace

TEST(SourceLifetime, ADeletedSourceIsUnboundReleasedAndReplacedByAFallback)
{
	obs_source_t *mic = testenv::createToneSource("Aaa mic");
	obs_source_t *desk = testenv::createToneSource("Desk");
	bool destroyed = false;
	signal_handler_connect(obs_source_get_signal_handler(mic), "destroy", markDestroyed, &destroyed);
	Tovrin panel;
	ASSERT_EQ(Access::boundSource(panel), mic);

	// The user deletes it in OBS: removed, and the scene lets go of it.
	obs_source_remove(mic);
	obs_source_release(mic);
	Access::slowTick(panel);
	EXPECT_EQ(Access::boundSource(panel), nullptr);
	EXPECT_EQ(Access::sourceCombo(panel)->currentIndex(), 0);
	EXPECT_TRUE(testenv::waitFor([&] { return destroyed; }, 2000)) << "the last reference is gone";

	Access::slowTick(panel); // the next slow tick binds the fallback
	EXPECT_EQ(Access::boundSource(panel), desk);
	EXPECT_EQ(savedUuid(), uuidOf(desk));
	obs_source_release(desk);
}

// "Mic" was chosen and saved; "Aaa other" would be the first fallback.
class SavedChoice : public ::testing::Test {
protected:
	void SetUp() override
	{
		config_set_string(standin::profileConfig(), "Tovrin", "SourceUuid", obs_source_get_uuid(mic));
		panel = std::make_unique<Tovrin>();
		ASSERT_EQ(Access::boundSource(*panel), mic);
	}
	void TearDown() override
	{
		panel.reset();
		obs_source_release(mic);
		obs_source_release(other);
	}
	obs_source_t *mic = testenv::createToneSource("Mic");
	obs_source_t *other = testenv::createToneSource("Aaa other");
	std::unique_ptr<Tovrin> panel;
};

TEST_F(SavedChoice, ACollectionSwitchReleasesTheSourceAndRestoresTheSavedOneAfterwards)
{
	Tovrin &panel = *this->panel;
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGING);
	EXPECT_EQ(Access::boundSource(panel), nullptr) << "no reference held while OBS clears the collection";
	for (int i = 0; i < 3; i++)
		Access::slowTick(panel);
	EXPECT_EQ(Access::boundSource(panel), nullptr) << "no fallback while the collection loads";
	EXPECT_EQ(savedUuid(), uuidOf(mic));

	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED);
	EXPECT_EQ(Access::boundSource(panel), mic) << "the saved source, not the first in name order";
	EXPECT_EQ(Access::sourceCombo(panel)->currentText(), "Mic");
}

// The fallback in a collection without the saved source is not saved over
// it: switching back binds the user's choice again. A choice made in the
// list is saved as ever.
TEST_F(SavedChoice, AFallbackInAnotherCollectionLeavesTheChoiceForTheWayBack)
{
	Tovrin &panel = *this->panel;
	const QString chosen = uuidOf(mic);
	const std::string id = obs_source_get_id(mic);
	obs_source_t *b = nullptr, *c = nullptr;
	switchCollection({mic, other}, [&] { b = testenv::createToneSource("B tone"); });
	EXPECT_EQ(Access::boundSource(panel), b) << "a fallback in the other collection";
	c = testenv::createToneSource("C tone");
	obs_source_remove(b);
	Access::slowTick(panel);
	Access::slowTick(panel);
	EXPECT_EQ(Access::boundSource(panel), c) << "and another when that one goes";
	EXPECT_EQ(savedUuid(), chosen);

	obs_source_t *back = nullptr;
	switchCollection({c}, [&] { back = reload(id, "Mic", chosen); });
	EXPECT_EQ(Access::boundSource(panel), back) << "the user's choice again";
	EXPECT_EQ(savedUuid(), chosen);

	obs_source_t *d1 = nullptr, *d2 = nullptr;
	switchCollection({back}, [&] {
		d1 = testenv::createToneSource("D one");
		d2 = testenv::createToneSource("D two");
	});
	QComboBox *combo = Access::sourceCombo(panel);
	combo->setCurrentIndex(combo->findText("D two"));
	EXPECT_EQ(savedUuid(), uuidOf(d2)) << "a choice in the list is saved";
	for (obs_source_t *s : {b, c, back, d1, d2})
		obs_source_release(s);
}

TEST_F(SavedChoice, ExitingReleasesTheSourceAndKeepsTheSavedChoice)
{
	Tovrin &panel = *this->panel;
	// OBS removes everything, then announces the clean-up.
	obs_source_remove(mic);
	obs_source_remove(other);
	Access::slowTick(panel);
	Access::slowTick(panel);
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CLEANUP);
	standin::fire(OBS_FRONTEND_EVENT_EXIT);
	Access::slowTick(panel);
	EXPECT_EQ(Access::boundSource(panel), nullptr);
	EXPECT_EQ(savedUuid(), uuidOf(mic)) << "the user's choice survives the exit";
}

// OBS 30 ends the first load with "finished loading" alone; 31 and later
// announce the collection as changed first. Either way it is no switch: the
// fallback is saved.
TEST(SourceLifetime, TheCleanUpOfTheFirstLoadEndsWhenOBSHasLoadedIt)
{
	for (auto loaded : {OBS_FRONTEND_EVENT_FINISHED_LOADING, OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED}) {
		config_remove_value(standin::profileConfig(), "Tovrin", "SourceUuid");
		Tovrin panel;
		standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CLEANUP);
		obs_source_t *mic = testenv::createToneSource("Mic");
		Access::slowTick(panel);
		EXPECT_EQ(Access::boundSource(panel), nullptr);
		standin::fire(loaded);
		standin::fire(OBS_FRONTEND_EVENT_FINISHED_LOADING);
		EXPECT_EQ(Access::boundSource(panel), mic);
		EXPECT_EQ(savedUuid(), uuidOf(mic));
		panel.shutdown();
		obs_source_remove(mic);
		obs_source_release(mic);
	}
}

TEST_F(SavedChoice, AUserWhoChoseNoSourceKeepsThatThroughCollectionAndProfileSwitches)
{
	Tovrin &panel = *this->panel;
	Access::sourceCombo(panel)->setCurrentIndex(0);
	ASSERT_EQ(Access::boundSource(panel), nullptr);
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGING);
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CLEANUP);
	standin::fire(OBS_FRONTEND_EVENT_SCENE_COLLECTION_CHANGED);
	Access::slowTick(panel);
	EXPECT_EQ(Access::boundSource(panel), nullptr);
	// A profile whose saved source is there, and a mode of its own.
	config_set_int(standin::profileConfig(), "Tovrin", "DisplayMode", 1);
	standin::fire(OBS_FRONTEND_EVENT_PROFILE_CHANGING);
	standin::fire(OBS_FRONTEND_EVENT_PROFILE_CHANGED);
	Access::slowTick(panel);
	EXPECT_EQ(Access::boundSource(panel), nullptr);
	EXPECT_EQ(Access::sourceCombo(panel)->currentIndex(), 0);
	EXPECT_EQ(Access::modeCombo(panel)->currentIndex(), 1) << "the profile's mode shows all the same";
	EXPECT_EQ(savedUuid(), uuidOf(mic));
}
