#include "support/frontend-stand-in.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"
#include "view/waveform-view.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <memory>

using Access = TovrinTestAccess;

namespace {

class BoundPanel : public ::testing::Test {
protected:
	void SetUp() override
	{
		panel = std::make_unique<Tovrin>();
		panel->bindSource(source);
	}
	void TearDown() override
	{
		panel.reset();
		obs_source_release(source);
	}
	obs_source_t *source = testenv::createToneSource("Tone");
	std::unique_ptr<Tovrin> panel;
};

struct MenuEntry {
	QString text;
	bool enabled, checkable, checked;
};

// Opens the context menu, reads its entries and closes it again.
std::vector<MenuEntry> contextMenu(Tovrin &panel)
{
	std::vector<MenuEntry> entries;
	QTimer::singleShot(50, [&] {
		auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
		if (!menu)
			return;
		for (QAction *a : menu->actions())
			if (!a->isSeparator())
				entries.push_back({a->text(), a->isEnabled(), a->isCheckable(), a->isChecked()});
		menu->close();
	});
	QMetaObject::invokeMethod(&panel, "showContextMenu", Q_ARG(QPoint, QPoint(5, 5)));
	return entries;
}

// Right-clicks a view, as a user does, and picks an entry of the menu.
void chooseFromMenu(WaveformView *view, const QString &text)
{
	QTimer::singleShot(50, [text] {
		auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
		if (!menu)
			return;
		for (QAction *a : menu->actions())
			if (a->text() == text)
				a->trigger();
		menu->close();
	});
	emit view->customContextMenuRequested(QPoint(5, 5));
}

} // namespace

// The master view's menu too acts on the bound source, not on the mix.
TEST_F(BoundPanel, EitherViewsMenuResetsTheVolumeAndOpensTheSourcesDialogs)
{
	Access::volumeSlider(*panel)->setValue(540);
	chooseFromMenu(Access::masterView(*panel), "Volume.Reset");
	EXPECT_EQ(Access::volumeSlider(*panel)->value(), 600);
	EXPECT_EQ(obs_source_get_volume(source), 1.0f);
	chooseFromMenu(Access::masterView(*panel), "Properties");
	chooseFromMenu(Access::inputView(*panel), "Filters");
	EXPECT_EQ(standin::frontEnd().propertiesOpened, std::vector<std::string>{"Tone"});
	EXPECT_EQ(standin::frontEnd().filtersOpened, std::vector<std::string>{"Tone"});
	chooseFromMenu(Access::masterView(*panel), "Mute");
	EXPECT_TRUE(obs_source_muted(source));
}

TEST_F(BoundPanel, TheControlsActOnTheBoundSource)
{
	Access::muteButton(*panel)->click();
	EXPECT_TRUE(obs_source_muted(source));
	Access::volumeSlider(*panel)->setValue(540);
	EXPECT_NEAR(obs_source_get_volume(source), 0.501187f, 1e-6f);
	EXPECT_EQ(Access::volumeLabel(*panel)->text(), "-6.0 dB");
	Access::volumeSlider(*panel)->setValue(0);
	EXPECT_EQ(obs_source_get_volume(source), 0.0f);
	Access::filtersButton(*panel)->click();
	EXPECT_EQ(standin::frontEnd().filtersOpened, std::vector<std::string>{"Tone"});
}

TEST_F(BoundPanel, MonitoringMeansAnyTypeButNoneAndTurnsOnMonitorAndOutput)
{
	Access::monitorButton(*panel)->click();
	EXPECT_EQ(obs_source_get_monitoring_type(source), OBS_MONITORING_TYPE_MONITOR_AND_OUTPUT);
	Access::monitorButton(*panel)->click();
	EXPECT_EQ(obs_source_get_monitoring_type(source), OBS_MONITORING_TYPE_NONE);
	obs_source_set_monitoring_type(source, OBS_MONITORING_TYPE_MONITOR_ONLY); // set in OBS's mixer
	Access::slowTick(*panel);
	EXPECT_TRUE(Access::monitorButton(*panel)->isChecked());
	EXPECT_EQ(obs_source_get_monitoring_type(source), OBS_MONITORING_TYPE_MONITOR_ONLY) << "not written back";
}

TEST_F(BoundPanel, ChangesMadeElsewhereReachTheControlsWithoutBeingWrittenBack)
{
	obs_source_set_muted(source, true);
	obs_source_set_volume(source, 0.5f);
	Access::slowTick(*panel);
	EXPECT_TRUE(Access::muteButton(*panel)->isChecked());
	EXPECT_EQ(Access::volumeSlider(*panel)->value(), 540);
	EXPECT_EQ(Access::volumeLabel(*panel)->text(), "-6.0 dB");
	EXPECT_EQ(obs_source_get_volume(source), 0.5f) << "not replaced by the slider's 0.501187";
}

TEST_F(BoundPanel, ASliderHeldDownIsLeftAloneWhileTheButtonsStillFollow)
{
	Access::volumeSlider(*panel)->setSliderDown(true);
	obs_source_set_volume(source, 0.25f);
	obs_source_set_muted(source, true);
	Access::slowTick(*panel);
	EXPECT_EQ(Access::volumeSlider(*panel)->value(), 600);
	EXPECT_EQ(Access::volumeLabel(*panel)->text(), "0.0 dB");
	EXPECT_TRUE(Access::muteButton(*panel)->isChecked());
}

TEST_F(BoundPanel, ResettingAVolumeAlreadyAtTheTopKeepsAGainAboveUnity)
{
	obs_source_set_volume(source, 2.0f);
	Access::slowTick(*panel);
	ASSERT_EQ(Access::volumeSlider(*panel)->value(), 600);
	QMetaObject::invokeMethod(panel.get(), "onResetVolume");
	EXPECT_EQ(obs_source_get_volume(source), 2.0f);
}

TEST_F(BoundPanel, TheMenuOffersTheSourcesStateAndActions)
{
	obs_source_set_muted(source, true);
	const std::vector<MenuEntry> entries = contextMenu(*panel);
	ASSERT_EQ(entries.size(), 5u);
	EXPECT_EQ(entries[0].text, "Monitor");
	EXPECT_FALSE(entries[0].checked);
	EXPECT_EQ(entries[1].text, "Mute");
	EXPECT_TRUE(entries[1].checked);
	EXPECT_EQ(entries[4].text, "Properties");
	for (const MenuEntry &e : entries)
		EXPECT_TRUE(e.enabled);
}

TEST(SourceControls, WithNothingBoundTheMenuIsDisabledAndTheSliderOnlyMovesItsReadout)
{
	Tovrin panel;
	const std::vector<MenuEntry> entries = contextMenu(panel);
	ASSERT_EQ(entries.size(), 5u);
	for (const MenuEntry &e : entries) {
		EXPECT_FALSE(e.enabled) << e.text.toStdString();
		EXPECT_FALSE(e.checked);
	}
	Access::volumeSlider(panel)->setValue(300);
	EXPECT_EQ(Access::volumeLabel(panel)->text(), "-30.0 dB");
}

TEST_F(BoundPanel, ChoosingTheBoundEntryAgainChangesNothing)
{
	WaveformView *input = Access::inputView(*panel);
	MonitorSnapshot loud;
	loud.peakDb = -3.0f;
	input->setSnapshot(loud);
	testenv::clearLog();
	QMetaObject::invokeMethod(panel.get(), "onSourceChanged",
				  Q_ARG(int, Access::sourceCombo(*panel)->currentIndex()));
	EXPECT_EQ(input->snapshot().peakDb, -3.0f) << "no reset";
	EXPECT_TRUE(testenv::logLinesWith("monitoring source").empty());
	EXPECT_EQ(Access::boundSource(*panel), source);
}

TEST_F(BoundPanel, TheNoneEntryUnbindsKeepsTheSavedSourceAndStopsAutomaticBinding)
{
	const QString saved = QString::fromUtf8(config_get_string(standin::profileConfig(), "Tovrin", "SourceUuid"));
	ASSERT_EQ(saved, QString::fromUtf8(obs_source_get_uuid(source)));
	Access::sourceCombo(*panel)->setCurrentIndex(0);
	EXPECT_EQ(Access::boundSource(*panel), nullptr);
	EXPECT_FALSE(Access::volumeSlider(*panel)->isEnabled());
	EXPECT_EQ(Access::inputView(*panel)->currentTitle(), "Input.Title");
	EXPECT_EQ(QString::fromUtf8(config_get_string(standin::profileConfig(), "Tovrin", "SourceUuid")), saved);
	for (int i = 0; i < 3; i++)
		Access::slowTick(*panel);
	EXPECT_EQ(Access::boundSource(*panel), nullptr);
}

TEST(SourceControls, ChoosingASourceBindsTitlesAndEnablesTheControls)
{
	Tovrin panel;
	Access::sourceCombo(panel)->setCurrentIndex(0); // the user wants none
	obs_source_t *tone = testenv::createToneSource("Guitar");
	obs_source_set_volume(tone, 0.5f);
	Access::pressRefresh(panel);
	testenv::clearLog();
	Access::sourceCombo(panel)->setCurrentIndex(1);
	EXPECT_EQ(Access::boundSource(panel), tone);
	EXPECT_EQ(testenv::logLinesWith("[tovrin] monitoring source 'Guitar'").size(), 1u);
	EXPECT_EQ(Access::inputView(panel)->currentTitle(), "Guitar");
	EXPECT_TRUE(Access::muteButton(panel)->isEnabled());
	EXPECT_EQ(Access::volumeSlider(panel)->value(), 540);

	obs_source_set_name(tone, "Bass");
	Access::slowTick(panel);
	EXPECT_EQ(Access::inputView(panel)->currentTitle(), "Bass");
	obs_source_release(tone);
}
