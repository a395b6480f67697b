#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMetaMethod>
#include <QSlider>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

#include "view/waveform-view.hpp"

using Access = TovrinTestAccess;

TEST(PanelLayout, DeclaresElevenSlotsInOrderAndNothingElse)
{
	const QMetaObject &meta = Tovrin::staticMetaObject;
	const std::vector<QByteArray> expected = {"onTick()",
						  "onSlowTimer()",
						  "onSourceChanged(int)",
						  "onModeChanged(int)",
						  "onVolumeSliderChanged(int)",
						  "onMuteToggled(bool)",
						  "onMonitorToggled(bool)",
						  "onResetVolume()",
						  "openFilters()",
						  "openProperties()",
						  "showContextMenu(QPoint)"};
	ASSERT_EQ(meta.methodCount() - meta.methodOffset(), int(expected.size()));
	for (int i = 0; i < int(expected.size()); i++) {
		const QMetaMethod m = meta.method(meta.methodOffset() + i);
		EXPECT_EQ(m.methodSignature(), expected[size_t(i)]);
		EXPECT_EQ(m.methodType(), QMetaMethod::Slot);
		EXPECT_EQ(m.access(), QMetaMethod::Private);
	}
	EXPECT_EQ(meta.method(meta.methodOffset() + 10).parameterNames(), QList<QByteArray>{"pos"});
	EXPECT_EQ(meta.propertyCount(), meta.propertyOffset());
	EXPECT_EQ(meta.classInfoCount(), meta.classInfoOffset());
}

TEST(PanelLayout, WithoutALocaleEveryTextIsItsKey)
{
	Tovrin panel;
	EXPECT_EQ(Access::monitorButton(panel)->text(), "Monitor");
	EXPECT_EQ(Access::muteButton(panel)->text(), "Mute");
	EXPECT_EQ(Access::filtersButton(panel)->text(), "Filters");
	QStringList captions;
	for (QLabel *label : panel.findChildren<QLabel *>())
		captions << label->text();
	EXPECT_TRUE(captions.contains("Source.Label"));
	EXPECT_TRUE(captions.contains("Mode.Label"));
	EXPECT_TRUE(captions.contains("Footer.Hint"));
	EXPECT_EQ(Access::modeCombo(panel)->itemText(0), "Mode.Spectrum");
	EXPECT_EQ(Access::modeCombo(panel)->itemText(1), "Mode.Waveform");
	EXPECT_EQ(Access::sourceCombo(panel)->itemText(0), "Source.None");
	EXPECT_EQ(Access::refreshButton(panel)->text(), QString(QChar(0x27F3)));
}

TEST(PanelLayout, UnboundTheVolumeRowIsDisabledAtUnity)
{
	Tovrin panel;
	EXPECT_FALSE(Access::volumeSlider(panel)->isEnabled());
	EXPECT_EQ(Access::volumeSlider(panel)->value(), 600);
	EXPECT_EQ(Access::volumeLabel(panel)->text(), "0.0 dB");
	EXPECT_FALSE(Access::volumeLabel(panel)->isEnabled());
	EXPECT_FALSE(Access::monitorButton(panel)->isEnabled());
	EXPECT_FALSE(Access::muteButton(panel)->isEnabled());
	EXPECT_FALSE(Access::filtersButton(panel)->isEnabled());
	EXPECT_TRUE(Access::sourceCombo(panel)->isEnabled());
	EXPECT_TRUE(Access::modeCombo(panel)->isEnabled());
	EXPECT_TRUE(Access::refreshButton(panel)->isEnabled());
}

TEST(PanelLayout, TheViewsShareASplitterThatNeverCollapsesThem)
{
	Tovrin panel;
	auto *splitter = panel.findChild<QSplitter *>();
	ASSERT_TRUE(splitter);
	EXPECT_EQ(splitter->orientation(), Qt::Vertical);
	EXPECT_FALSE(splitter->childrenCollapsible());
	EXPECT_EQ(splitter->handleWidth(), 5);
	ASSERT_EQ(splitter->count(), 2);
	EXPECT_EQ(splitter->widget(0), Access::inputView(panel));
	EXPECT_EQ(splitter->widget(1), Access::masterView(panel));
	panel.resize(400, 900);
	panel.show();
	QCoreApplication::processEvents();
	const QList<int> sizes = splitter->sizes();
	EXPECT_LE(std::abs(sizes[0] - sizes[1]), 1);
	EXPECT_EQ(Access::inputView(panel)->contextMenuPolicy(), Qt::CustomContextMenu);
	EXPECT_EQ(Access::masterView(panel)->toolTip(), "Waveform.Tooltip");
}

TEST(PanelLayout, TheFooterFontIsOnePointSmallerButNeverBelowSevenAndAHalf)
{
	QFont big = QApplication::font();
	big.setPointSizeF(10.0);
	QApplication::setFont(big);
	{
		Tovrin panel;
		EXPECT_DOUBLE_EQ(Access::footerLabel(panel)->font().pointSizeF(), 9.0);
		EXPECT_TRUE(Access::footerLabel(panel)->wordWrap());
	}
	QFont tiny = big;
	tiny.setPointSizeF(6.0);
	QApplication::setFont(tiny);
	Tovrin panel;
	EXPECT_DOUBLE_EQ(Access::footerLabel(panel)->font().pointSizeF(), 7.5);
}

TEST(PanelLayout, TabFollowsCreationOrderFromVolumeToFiltersToMode)
{
	Tovrin panel;
	obs_source_t *source = testenv::createToneSource("Tone");
	panel.bindSource(source);
	panel.show();
	panel.activateWindow();
	ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
	Access::volumeSlider(panel)->setFocus(Qt::TabFocusReason);
	ASSERT_EQ(QApplication::focusWidget(), Access::volumeSlider(panel));
	QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
	EXPECT_EQ(QApplication::focusWidget(), Access::filtersButton(panel));
	QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
	EXPECT_EQ(QApplication::focusWidget(), Access::modeCombo(panel));
	obs_source_release(source);
}

namespace {

int pixelsOf(QWidget *widget, QColor color)
{
	const QImage image = widget->grab().toImage();
	int count = 0;
	for (int y = 0; y < image.height(); y++)
		for (int x = 0; x < image.width(); x++)
			count += image.pixelColor(x, y) == color;
	return count;
}

} // namespace

// The application's style sheet stands in for OBS's theme, which styles tool
// buttons but not their checked state.
TEST(PanelLayout, CheckedMuteAndMonitorButtonsShowTheHighlightUnderAThemedApp)
{
	const QColor highlight(200, 30, 160);
	QPalette palette = qApp->palette();
	palette.setColor(QPalette::Highlight, highlight);
	qApp->setPalette(palette);
	qApp->setStyleSheet("QToolButton { background-color: rgb(40, 44, 52); border: 1px solid rgb(60, 64, 72); }");

	Tovrin panel;
	panel.resize(400, 700);
	for (QToolButton *button : {Access::muteButton(panel), Access::monitorButton(panel)}) {
		button->setEnabled(true);
		button->setChecked(false);
		EXPECT_EQ(pixelsOf(button, highlight), 0) << button->text().toStdString();
		button->setChecked(true);
		const QSize size = button->size();
		EXPECT_GT(pixelsOf(button, highlight), size.width() * size.height() / 3)
			<< button->text().toStdString();
	}
	qApp->setStyleSheet(QString());
}
