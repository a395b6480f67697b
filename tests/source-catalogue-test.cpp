#include "dock/source-catalogue.hpp"
#include "support/frontend-stand-in.hpp"
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QSignalSpy>
#include <QToolButton>

using Access = TovrinTestAccess;

namespace {

QStringList comboTexts(const Tovrin &panel)
{
	QStringList texts;
	for (int i = 0; i < Access::sourceCombo(panel)->count(); i++)
		texts << Access::sourceCombo(panel)->itemText(i);
	return texts;
}

// Sources for one test, released at its end.
struct Sources {
	std::vector<obs_source_t *> all;
	obs_source_t *tone(const char *name) { return keep(testenv::createToneSource(name)); }
	obs_source_t *silent(const char *name) { return keep(testenv::createSilentSource(name)); }
	obs_source_t *keep(obs_source_t *s)
	{
		all.push_back(s);
		return s;
	}
	~Sources()
	{
		for (obs_source_t *s : all)
			obs_source_release(s);
	}
};

QString uuidOf(obs_source_t *source)
{
	return QString::fromUtf8(obs_source_get_uuid(source));
}

SourceEntry entry(const char *uuid, const char *id, bool active)
{
	return SourceEntry{uuid, QString("name ") + uuid, id, active};
}

} // namespace

TEST(SourceCatalogue, WithNoAudioSourceTheNoneEntryStandsAloneAndSelected)
{
	Sources sources;
	sources.silent("Camera");
	Tovrin panel;
	EXPECT_EQ(comboTexts(panel), QStringList{"Source.None"});
	EXPECT_EQ(Access::sourceCombo(panel)->currentIndex(), 0);
	EXPECT_EQ(Access::boundSource(panel), nullptr);
}

TEST(SourceCatalogue, ListsAudioSourcesByNameBelowTheNoneEntry)
{
	Sources sources;
	sources.tone("beta");
	sources.tone("Alpha");
	sources.silent("Aardvark camera");
	sources.tone("gamma");
	sources.tone("Beta"); // libobs keeps names unique: a second "beta" would become "beta 2"
	Tovrin panel;
	const QStringList texts = comboTexts(panel);
	ASSERT_EQ(texts.size(), 5);
	EXPECT_EQ(texts.mid(0, 2), (QStringList{"Source.None", "Alpha"}));
	// Names that compare equal but for case may come in either order.
	EXPECT_TRUE((texts[2] == "beta" && texts[3] == "Beta") || (texts[2] == "Beta" && texts[3] == "beta"));
	EXPECT_EQ(texts[4], "gamma");
	EXPECT_EQ(Access::sourceCombo(panel)->itemData(0).toString(), QString());
	EXPECT_EQ(Access::sourceCombo(panel)->itemData(1).toString(), uuidOf(sources.all[1]));
}

TEST(SourceCatalogue, RefreshesWithoutChangesLeaveTheListUntouched)
{
	Sources sources;
	sources.tone("One");
	sources.tone("Two");
	Tovrin panel;
	QSignalSpy changed(Access::sourceCombo(panel), &QComboBox::currentIndexChanged);
	QSignalSpy inserted(Access::sourceCombo(panel)->model(), &QAbstractItemModel::rowsInserted);
	Access::pressRefresh(panel);
	Access::slowTick(panel);
	EXPECT_EQ(changed.count(), 0);
	EXPECT_EQ(inserted.count(), 0);
}

TEST(SourceCatalogue, ARenameRebuildsTheListAndKeepsTheBindingSelected)
{
	Sources sources;
	sources.tone("Alpha");
	obs_source_t *mic = sources.tone("Mic");
	standin::profileConfig();
	Tovrin panel;
	panel.bindSource(mic);
	QSignalSpy inserted(Access::sourceCombo(panel)->model(), &QAbstractItemModel::rowsInserted);
	testenv::clearLog();

	obs_source_set_name(mic, "Aaa mic");
	Access::pressRefresh(panel);
	EXPECT_GT(inserted.count(), 0);
	EXPECT_EQ(comboTexts(panel), (QStringList{"Source.None", "Aaa mic", "Alpha"}));
	EXPECT_EQ(Access::sourceCombo(panel)->currentIndex(), 1);
	EXPECT_EQ(Access::boundSource(panel), mic);
	EXPECT_TRUE(testenv::logLinesWith("monitoring source").empty()) << "not bound again";
}

TEST(SourceCatalogue, AtStartTheSavedSourceWinsOverEveryRule)
{
	Sources sources;
	sources.tone("Alpha");
	obs_source_t *saved = sources.tone("Zulu");
	config_set_string(standin::profileConfig(), "Tovrin", "SourceUuid", uuidOf(saved).toUtf8().constData());
	Tovrin panel;
	EXPECT_EQ(Access::boundSource(panel), saved);
	EXPECT_EQ(Access::sourceCombo(panel)->currentText(), "Zulu");
	testenv::clearLog();
	Access::slowTick(panel);
	EXPECT_TRUE(testenv::logLinesWith("monitoring source").empty()) << "nothing more to restore";
}

TEST(SourceCatalogue, AFallbackChoiceIsSavedAsTheSource)
{
	Sources sources;
	obs_source_t *first = sources.tone("Alpha");
	sources.tone("Beta");
	config_set_string(standin::profileConfig(), "Tovrin", "SourceUuid", "no-such-uuid");
	Tovrin panel;
	EXPECT_EQ(Access::boundSource(panel), first);
	EXPECT_STREQ(config_get_string(standin::profileConfig(), "Tovrin", "SourceUuid"), obs_source_get_uuid(first));
}

TEST(SourceCatalogue, TheAutomaticChoiceFollowsItsRulesInNameOrder)
{
	const SourceCatalogue catalogue = {entry("a", "ffmpeg_source", false), entry("b", "pulse_input", true),
					   entry("c", kDesktopAudioSourceId, false),
					   entry("d", kDesktopAudioSourceId, true)};
	EXPECT_EQ(chooseAutomatic(catalogue, "d")->uuid, "d");
	EXPECT_EQ(chooseAutomatic(catalogue, "gone")->uuid, "c");
	EXPECT_EQ(chooseAutomatic(catalogue, "")->uuid, "c");
	const SourceCatalogue noDesktop(catalogue.begin(), catalogue.begin() + 2);
	EXPECT_EQ(chooseAutomatic(noDesktop, "")->uuid, "b");
	const SourceCatalogue quiet(catalogue.begin(), catalogue.begin() + 1);
	EXPECT_EQ(chooseAutomatic(quiet, "")->uuid, "a");
	EXPECT_EQ(chooseAutomatic({}, "a"), nullptr);
	EXPECT_EQ(chooseAutomatic(catalogue, "WASAPI")->uuid, "c") << "ids and uuids compare exactly";
}

TEST(SourceCatalogue, TheRefreshButtonNeverBinds)
{
	Tovrin panel;
	Sources sources;
	sources.tone("Late");
	ASSERT_EQ(Access::boundSource(panel), nullptr);
	Access::refreshButton(panel)->click();
	EXPECT_EQ(Access::boundSource(panel), nullptr);
	EXPECT_EQ(Access::sourceCombo(panel)->currentIndex(), 0);
	Access::slowTick(panel); // the slow tick may
	EXPECT_EQ(Access::boundSource(panel), sources.all[0]);
}

// OBS's desktop-audio type of this platform (registered here: the test
// process loads none of OBS's plug-ins) wins over a source that sorts first.
TEST(SourceCatalogue, WithNothingSavedThePlatformsDesktopAudioCaptureIsBound)
{
	obs_source_info desktop = {};
	desktop.id = kDesktopAudioSourceId;
	desktop.type = OBS_SOURCE_TYPE_INPUT;
	desktop.output_flags = OBS_SOURCE_AUDIO;
	desktop.get_name = [](void *) {
		return "desktop audio";
	};
	desktop.create = [](obs_data_t *, obs_source_t *source) -> void * {
		return source;
	};
	desktop.destroy = [](void *) {
	};
	obs_register_source(&desktop);
	Sources sources;
	sources.tone("Aaa tone");
	obs_source_t *capture =
		sources.keep(obs_source_create(kDesktopAudioSourceId, "Desktop Audio", nullptr, nullptr));
	Tovrin panel;
	EXPECT_EQ(Access::boundSource(panel), capture);
}
