#include "module/plugin-main.hpp"
#include "support/frontend-stand-in.hpp"
#include "support/libobs-spy.hpp"
#include "support/obs-test-env.hpp"

#include <gtest/gtest.h>

#include <obs-frontend-api.h>
#include <obs-module.h>

#include <QDockWidget>
#include <QPointer>

using testenv::logLinesWith;

// Declared by libobs's module macros only where they are expanded.
extern "C" uint32_t obs_module_ver(void);
extern "C" const char *obs_module_author(void);

namespace {

QPointer<QWidget> addedPanel()
{
	QDockWidget *dock = standin::dock(kDockId);
	return dock ? dock->widget() : nullptr;
}

} // namespace

// libobs refuses a module whose API's major version is newer than its own.
TEST(Module, ItsApiIsNoNewerThanTheLibobsThatLoadsItAndItNamesItsAuthor)
{
	EXPECT_LE(obs_module_ver() >> 24, obs_get_version() >> 24);
	EXPECT_GE(obs_module_ver() >> 24, 30u) << "the front-end calls it makes came with OBS 30";
	EXPECT_STREQ(obs_module_author(), "tovrin");
}

TEST(Module, LoadingLogsAndCreatesNothing)
{
	EXPECT_TRUE(obs_module_load());
	EXPECT_EQ(logLinesWith("[tovrin] loaded").size(), 1u);
	EXPECT_EQ(spy::counts().rawAdded, 0);
	EXPECT_EQ(standin::frontEnd().docksAdded, 0);
}

TEST(Module, AMissingKeyIsShownAsTheKeyItself)
{
	const char *key = "No.Such.Key";
	EXPECT_EQ(obs_module_text(key), key);
	const char *out = nullptr;
	EXPECT_FALSE(obs_module_get_string(key, &out));
	obs_module_free_locale();
	EXPECT_EQ(obs_module_text(key), key);
}

TEST(Module, PostLoadRegistersThePanelAsTheDock)
{
	obs_module_post_load();
	QPointer<QWidget> panel = addedPanel();
	ASSERT_TRUE(panel);
	EXPECT_EQ(panel->objectName(), "tovrin-content");
	EXPECT_EQ(standin::frontEnd().lastDockTitle, "Dock.Title");
	EXPECT_EQ(spy::counts().rawAdded, 1);
	obs_module_unload();
}

TEST(Module, ARefusedDockLogsOnceDeletesThePanelAndDetachesTheMixer)
{
	standin::frontEnd().refuseDocks = true;
	obs_module_post_load();

	EXPECT_EQ(logLinesWith("[tovrin] failed to add dock").size(), 1u);
	EXPECT_EQ(spy::counts().rawAdded, 1);
	EXPECT_EQ(spy::counts().rawRemoved, 1);
	// Nothing was scheduled: no dock appears later either.
	testenv::processEventsFor(100);
	EXPECT_EQ(standin::frontEnd().docksAdded, 0);

	obs_module_unload();
	EXPECT_EQ(standin::frontEnd().docksRemoved, std::vector<std::string>{"tovrin"});
	EXPECT_EQ(logLinesWith("[tovrin] unloaded").size(), 1u);
	EXPECT_EQ(spy::counts().rawRemoved, 1);
}

TEST(Module, UnloadShutsThePanelDownOnceThenRemovesTheDock)
{
	obs_module_post_load();
	QPointer<QWidget> panel = addedPanel();
	ASSERT_TRUE(panel);

	obs_module_unload();
	EXPECT_FALSE(panel) << "removing the dock deletes the panel";
	EXPECT_EQ(spy::counts().rawRemoved, 1) << "the destructor found the shutdown done";
	EXPECT_EQ(standin::frontEnd().docksRemoved, std::vector<std::string>{"tovrin"});
	const auto lines = testenv::logLines();
	ASSERT_FALSE(lines.empty());
	EXPECT_EQ(lines.back(), "[tovrin] unloaded");
}

TEST(Module, UnloadAfterTheFrontEndDeletedThePanelStillRemovesTheDock)
{
	obs_module_post_load();
	QPointer<QWidget> panel = addedPanel();
	ASSERT_TRUE(panel);
	delete standin::dock(kDockId);
	EXPECT_FALSE(panel);
	EXPECT_EQ(spy::counts().rawRemoved, 1) << "the destructor tears down on its own";

	obs_module_unload();
	EXPECT_EQ(standin::frontEnd().docksRemoved, std::vector<std::string>{"tovrin"});
	EXPECT_EQ(spy::counts().rawRemoved, 1);
	EXPECT_EQ(logLinesWith("[tovrin] unloaded").size(), 1u);
}

// At exit OBS drops its callbacks, then deletes the docks, and reports any
// front-end call after that as an error: a user sending a log would see it.
TEST(Module, OnceOBSHasExitedTheModuleMakesNoFrontEndCall)
{
	obs_module_post_load();
	QPointer<QWidget> panel = addedPanel();
	ASSERT_TRUE(panel);
	standin::exitFrontEnd();
	EXPECT_FALSE(panel);
	EXPECT_EQ(spy::counts().rawRemoved, 1);

	obs_module_unload();
	EXPECT_EQ(standin::frontEnd().callsAfterExit, std::vector<std::string>{});
	EXPECT_EQ(logLinesWith("[tovrin] unloaded").size(), 1u);
}

TEST(Module, TheDockIsShownAndDockedTwoSecondsAfterPostLoad)
{
	obs_module_post_load();
	QDockWidget *dock = standin::dock(kDockId);
	ASSERT_TRUE(dock);
	EXPECT_TRUE(dock->isHidden());
	EXPECT_TRUE(dock->isFloating());

	testenv::processEventsFor(1500);
	EXPECT_TRUE(dock->isHidden()) << "not before its time";
	EXPECT_TRUE(testenv::waitFor([&] { return !dock->isHidden() && !dock->isFloating(); }, 2000));
	obs_module_unload();
}

TEST(Module, EnsureDockVisibleShowsAndDocksAHiddenOrFloatingDock)
{
	ASSERT_TRUE(obs_frontend_add_dock_by_id(kDockId, "Tovrin", new QWidget));
	QDockWidget *dock = standin::dock(kDockId);
	ensureDockVisible();
	EXPECT_FALSE(dock->isHidden());
	EXPECT_FALSE(dock->isFloating());

	// Shown but floating: docked without being toggled off.
	dock->setFloating(true);
	ensureDockVisible();
	EXPECT_FALSE(dock->isHidden());
	EXPECT_FALSE(dock->isFloating());
	obs_frontend_remove_dock(kDockId);

	ensureDockVisible(); // no dock of that name: nothing happens
}
