#include "support/frontend-stand-in.hpp"
#include "support/libobs-spy.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"
#include "view/waveform-view.hpp"

#include <gtest/gtest.h>

#include <QComboBox>

using Access = TovrinTestAccess;

namespace {

config_t *profile()
{
	return standin::profileConfig();
}

ViewMode modeOf(WaveformView *view)
{
	return view->snapshot().mode;
}

} // namespace

TEST(DisplayMode, AFirstStartShowsSpectraAndWritesNothing)
{
	Tovrin panel;
	EXPECT_EQ(Access::modeCombo(panel)->currentIndex(), 0);
	EXPECT_EQ(modeOf(Access::inputView(panel)), ViewMode::Spectrum);
	EXPECT_EQ(modeOf(Access::masterView(panel)), ViewMode::Spectrum);
	EXPECT_FALSE(config_has_user_value(profile(), "Tovrin", "DisplayMode"));
	EXPECT_EQ(spy::counts().configIntWrites, 0);
}

TEST(DisplayMode, AStoredOneRestoresTheWaveformWithoutWritingBack)
{
	config_set_int(profile(), "Tovrin", "DisplayMode", 1);
	spy::reset();
	Tovrin panel;
	EXPECT_EQ(Access::modeCombo(panel)->currentIndex(), 1);
	EXPECT_EQ(modeOf(Access::inputView(panel)), ViewMode::Waveform);
	EXPECT_EQ(modeOf(Access::masterView(panel)), ViewMode::Waveform);
	EXPECT_EQ(spy::counts().configIntWrites, 0);
}

TEST(DisplayMode, AnyOtherStoredValueMeansSpectrumAndIsLeftAlone)
{
	for (int stored : {2, -1}) {
		config_set_int(profile(), "Tovrin", "DisplayMode", stored);
		Tovrin panel;
		EXPECT_EQ(Access::modeCombo(panel)->currentIndex(), 0);
		EXPECT_EQ(modeOf(Access::masterView(panel)), ViewMode::Spectrum);
		EXPECT_EQ(config_get_int(profile(), "Tovrin", "DisplayMode"), stored);

		Access::modeCombo(panel)->setCurrentIndex(1); // the user picks
		EXPECT_EQ(config_get_int(profile(), "Tovrin", "DisplayMode"), 1);
	}
}

TEST(DisplayMode, PickingAModeSwitchesAndResetsBothViewsAndStoresIt)
{
	Tovrin panel;
	WaveformView *master = Access::masterView(panel);
	MonitorSnapshot loud;
	loud.peakDb = -3.0f;
	master->setSnapshot(loud);
	spy::reset();

	Access::modeCombo(panel)->setCurrentIndex(1);
	EXPECT_EQ(modeOf(Access::inputView(panel)), ViewMode::Waveform);
	EXPECT_EQ(master->snapshot().mode, ViewMode::Waveform);
	EXPECT_EQ(master->snapshot().peakDb, -120.0f) << "reset";
	EXPECT_EQ(config_get_int(profile(), "Tovrin", "DisplayMode"), 1);

	Access::modeCombo(panel)->setCurrentIndex(0);
	EXPECT_EQ(master->snapshot().mode, ViewMode::Spectrum);
	EXPECT_EQ(config_get_int(profile(), "Tovrin", "DisplayMode"), 0);
	EXPECT_EQ(spy::counts().configIntWrites, 2);

	Access::modeCombo(panel)->setCurrentIndex(0); // already current: no signal
	EXPECT_EQ(spy::counts().configIntWrites, 2);
}

// OBS does not save the profile on exit: the choice must be on disk at once.
TEST(DisplayMode, TheChoiceReachesTheProfileFileAtOnce)
{
	Tovrin panel;
	Access::modeCombo(panel)->setCurrentIndex(1);
	config_t *onDisk = nullptr;
	ASSERT_EQ(config_open(&onDisk, standin::profilePath().c_str(), CONFIG_OPEN_EXISTING), CONFIG_SUCCESS);
	EXPECT_EQ(config_get_int(onDisk, "Tovrin", "DisplayMode"), 1);
	config_close(onDisk);
}

TEST(DisplayMode, WithoutAProfileTheModeWorksAndNothingIsWritten)
{
	standin::frontEnd().noProfile = true;
	Tovrin panel;
	Access::modeCombo(panel)->setCurrentIndex(1);
	EXPECT_EQ(modeOf(Access::masterView(panel)), ViewMode::Waveform);
	EXPECT_EQ(spy::counts().configIntWrites, 0);
}

TEST(DisplayMode, AfterShutdownAChangeInTheListIsIgnored)
{
	Tovrin panel;
	panel.shutdown();
	Access::modeCombo(panel)->setCurrentIndex(1);
	EXPECT_EQ(modeOf(Access::masterView(panel)), ViewMode::Spectrum);
	EXPECT_FALSE(config_has_user_value(profile(), "Tovrin", "DisplayMode"));
}
