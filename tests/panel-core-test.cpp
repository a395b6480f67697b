#include "support/libobs-spy.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace {

void expectMasterConversion(uint32_t rate)
{
	const audio_convert_info conv = spy::lastConversion();
	EXPECT_EQ(conv.samples_per_sec, rate);
	EXPECT_EQ(conv.format, AUDIO_FORMAT_FLOAT_PLANAR);
	EXPECT_EQ(conv.speakers, SPEAKERS_STEREO);
	EXPECT_TRUE(conv.allow_clipping);
}

} // namespace

TEST(PanelCore, StartsNamedWithBothTimersRunning)
{
	Tovrin panel;
	EXPECT_EQ(panel.objectName(), "tovrin-content");
	QTimer *tick = TovrinTestAccess::tickTimer(panel);
	QTimer *slow = TovrinTestAccess::slowTimer(panel);
	ASSERT_TRUE(tick && slow);
	EXPECT_TRUE(tick->isActive());
	EXPECT_EQ(tick->interval(), 33);
	EXPECT_FALSE(tick->isSingleShot());
	EXPECT_TRUE(slow->isActive());
	EXPECT_EQ(slow->interval(), 500);
	EXPECT_EQ(spy::counts().rawAdded, 1);
	expectMasterConversion(48000);
}

TEST(PanelCore, TapsAndTheMasterFeedTakeTheOutputRate)
{
	obs_audio_info audio = {44100, SPEAKERS_5POINT1};
	ASSERT_TRUE(obs_reset_audio(&audio));
	Tovrin panel;
	EXPECT_EQ(TovrinTestAccess::inputTap(panel).sampleRate(), 44100u);
	EXPECT_EQ(TovrinTestAccess::masterTap(panel).sampleRate(), 44100u);
	// The feed asks libobs for stereo whatever the output layout.
	expectMasterConversion(44100);
}

TEST(PanelCore, ShutdownTwiceTearsDownOnce)
{
	obs_source_t *source = testenv::createToneSource("Tone");
	Tovrin panel;
	panel.bindSource(source);
	spy::reset();

	panel.shutdown();
	panel.shutdown();
	EXPECT_FALSE(TovrinTestAccess::tickTimer(panel)->isActive());
	EXPECT_FALSE(TovrinTestAccess::slowTimer(panel)->isActive());
	EXPECT_EQ(spy::counts().rawRemoved, 1);
	EXPECT_EQ(spy::counts().captureRemoved, 1);
	EXPECT_EQ(spy::counts().sourceReleased, 1);
	EXPECT_EQ(TovrinTestAccess::boundSource(panel), nullptr);
	TovrinTestAccess::modeCombo(panel)->setCurrentIndex(1);
	EXPECT_EQ(spy::counts().configIntWrites, 0) << "no slot acts once shut down";
	obs_source_release(source);
}

TEST(PanelCore, DestroyingAfterShutdownMakesNoLibobsCall)
{
	obs_source_t *source = testenv::createToneSource("Tone");
	auto panel = std::make_unique<Tovrin>();
	panel->bindSource(source);
	panel->shutdown();
	spy::reset();
	panel.reset();
	EXPECT_EQ(spy::counts().total(), 0);
	obs_source_release(source);
}

TEST(PanelCore, DestroyingARunningPanelDetachesEverything)
{
	obs_source_t *source = testenv::createToneSource("Tone");
	auto panel = std::make_unique<Tovrin>();
	panel->bindSource(source);
	spy::reset();
	panel.reset();
	EXPECT_EQ(spy::counts().rawRemoved, 1);
	EXPECT_EQ(spy::counts().captureRemoved, 1);
	EXPECT_EQ(spy::counts().sourceReleased, 1);
	obs_source_release(source);
}

TEST(PanelCore, BindingHoldsOneReferenceUntilUnbound)
{
	Tovrin panel;
	obs_source_t *source = testenv::createToneSource("Tone");
	panel.bindSource(source);
	obs_source_release(source);
	// The panel's own reference keeps the source alive.
	obs_source_t *bound = TovrinTestAccess::boundSource(panel);
	ASSERT_NE(bound, nullptr);
	EXPECT_STREQ(obs_source_get_name(bound), "Tone");
	EXPECT_EQ(spy::counts().captureAdded, 1);

	spy::reset();
	panel.bindSource(nullptr);
	EXPECT_EQ(spy::counts().captureRemoved, 1);
	EXPECT_EQ(spy::counts().sourceReleased, 1);
	EXPECT_EQ(TovrinTestAccess::boundSource(panel), nullptr);
	// Unbinding again changes nothing.
	spy::reset();
	panel.unbindSource();
	EXPECT_EQ(spy::counts().total(), 0);
}
