// The built module as OBS loads it: through libobs's module loader, with the
// real front-end library, which refuses docks in a process that has no OBS
// application.
#include "support/obs-test-env.hpp"

#include <gtest/gtest.h>

#include <obs-module.h>

using testenv::logLinesWith;

TEST(BuiltModule, LoadsWithItsLocaleAndUnloadsCleanlyWithoutTheApplication)
{
	obs_module_t *module = nullptr;
	ASSERT_EQ(obs_open_module(&module, TOVRIN_MODULE_FILE, TOVRIN_DATA_DIR), MODULE_SUCCESS);
	ASSERT_TRUE(obs_init_module(module));
	EXPECT_EQ(logLinesWith("[tovrin] loaded").size(), 1u);

	const char *title = nullptr;
	EXPECT_TRUE(obs_module_get_locale_string(module, "Dock.Title", &title));
	EXPECT_STREQ(title, "Tovrin");
	EXPECT_FALSE(obs_module_get_locale_string(module, "No.Such.Key", &title));

	obs_post_load_modules();
	EXPECT_EQ(logLinesWith("[tovrin] failed to add dock").size(), 1u);

	obs_shutdown();
	EXPECT_EQ(logLinesWith("[tovrin] unloaded").size(), 1u);
}
