#include "support/pixel-probe.hpp"
#include "support/view-driver.hpp"
#include "view/view-geometry.hpp"
#include "view/view-style.hpp"

#include <gtest/gtest.h>

#include <QPainter>

using namespace viewstyle;

namespace {

// A 500 x 220 view: the plot is (10, 28, 462, 172); the meter (481, 28, 9, 172),
// outlined at x 481 and 490, its bar in x 482..488 and rows 29..198 (170 px
// for 60 dB).
constexpr int kW = 500, kH = 220;
constexpr int kMeterX = 485;
constexpr int kInnerTop = 29, kInnerBottom = 198;
const QRect kInnerMeter(482, 29, 7, 170);
const QRect kBadge(428, 5, 40, 18);
const QRect kReadoutEnd(470, 5, 20, 18); // right of the badge: read-out only
const QRect kPlotMiddle(150, 90, 200, 50);

class ViewPainting : public ::testing::Test {
protected:
	void SetUp() override
	{
		view.resize(kW, kH);
		view.setTitle("Master mix");
	}
	QImage paint() { return a.paint(); }
	WaveformView view;
	ViewDriver a{view};
};

} // namespace

TEST_F(ViewPainting, TheFrameIsFilledAndOutlinedAndLeavesTheCornersAlone)
{
	const QImage image = paint();
	EXPECT_TRUE(probe::near(image.pixelColor(5, 210), frameFill));
	EXPECT_TRUE(probe::near(image.pixelColor(250, 0), frameLine));
	EXPECT_TRUE(probe::near(image.pixelColor(250, kH - 1), frameLine));
	EXPECT_TRUE(probe::near(image.pixelColor(0, 110), frameLine));
	EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
	EXPECT_EQ(image.pixelColor(kW - 1, kH - 1).alpha(), 0);
}

TEST_F(ViewPainting, AnEmptyMeterIsBackgroundInsideItsOutline)
{
	const QImage image = paint();
	EXPECT_EQ(probe::count(image, kInnerMeter, meterBack, 0), kInnerMeter.width() * kInnerMeter.height());
	EXPECT_TRUE(probe::near(image.pixelColor(481, 100), frameLine));
	EXPECT_TRUE(probe::near(image.pixelColor(490, 100), frameLine));
}

TEST_F(ViewPainting, TheRmsBarRisesToItsLevelWithTheGradientsColours)
{
	a.snapshot.rmsDb = -30.0f; // half the meter: 85 px
	QImage image = paint();
	EXPECT_TRUE(probe::near(image.pixelColor(kMeterX, kInnerBottom), meterGreen));
	EXPECT_TRUE(probe::near(image.pixelColor(kMeterX, kInnerBottom - 84), meterGreen));
	EXPECT_TRUE(probe::near(image.pixelColor(kMeterX, kInnerBottom - 85), meterBack, 0));

	a.snapshot.rmsDb = 3.0f; // above full scale: clamped to the top
	image = paint();
	EXPECT_TRUE(probe::near(image.pixelColor(kMeterX, kInnerBottom - 50), meterGreen));
	const QColor top = image.pixelColor(kMeterX, kInnerTop);
	EXPECT_LT(probe::distance(top, clipRed), 20) << top.name().toStdString();
	// Between the 0.72 and 0.88 stops green turns yellow.
	const QColor middle = image.pixelColor(kMeterX, kInnerBottom - int(170 * 0.80));
	EXPECT_GT(middle.red(), meterGreen.red() + 60);
	EXPECT_LT(middle.red(), meterYellow.red());
}

TEST_F(ViewPainting, ThePeakMarkerIsRedAtFullScaleLightBelowAndAbsentAtTheBottom)
{
	a.snapshot.peakDb = 0.0f;
	QImage image = paint();
	EXPECT_TRUE(probe::near(image.pixelColor(kMeterX, kInnerTop), clipRed, 0));

	a.snapshot.peakDb = -30.0f;
	image = paint();
	EXPECT_TRUE(probe::near(image.pixelColor(kMeterX, kInnerBottom + 1 - 85), peakLine, 0));
	EXPECT_EQ(probe::count(image, kInnerMeter, clipRed, 40), 0);

	a.snapshot.peakDb = -60.0f;
	image = paint();
	EXPECT_EQ(probe::count(image, kInnerMeter, meterBack, 0), kInnerMeter.width() * kInnerMeter.height());
}

TEST_F(ViewPainting, TheClipBadgeAndARedReadoutShowOnlyWhileClipping)
{
	QImage image = paint();
	EXPECT_EQ(probe::countTinted(image, kBadge, frameFill, clipRed), 0);
	EXPECT_EQ(probe::countTinted(image, kReadoutEnd, frameFill, clipRed), 0);
	EXPECT_GT(probe::countTinted(image, kReadoutEnd, frameFill, dimText), 3) << "the read-out is drawn";

	a.snapshot.clipping = true;
	image = paint();
	EXPECT_GT(probe::countTinted(image, kBadge, frameFill, clipRed), 10);
	EXPECT_GT(probe::countTinted(image, kReadoutEnd, frameFill, clipRed), 3);
	EXPECT_EQ(probe::countTinted(image, kReadoutEnd, frameFill, dimText), 0);
}

TEST_F(ViewPainting, TheWaitingMessageShowsWithoutAudioAndGoesWhileItFlows)
{
	a.snapshot.waiting = true;
	QImage image = paint();
	EXPECT_GT(probe::countTinted(image, kPlotMiddle, frameFill, dimText), 20);

	a.snapshot.waiting = false;
	image = paint();
	EXPECT_EQ(probe::countTinted(image, kPlotMiddle, frameFill, dimText), 0);

	a.snapshot.waiting = true; // audio stopped 700 ms ago and more
	image = paint();
	EXPECT_GT(probe::countTinted(image, kPlotMiddle, frameFill, dimText), 20);
}

// Each read-out is drawn once onto its strip of the backdrop and then copied:
// the copy is the read-out drawn straight onto the picture, the first time
// and when the same text comes back. Without a title the header is the
// frame's fill alone.
TEST_F(ViewPainting, ACopiedReadoutIsTheReadoutDrawnDirectly)
{
	view.setTitle(QString());
	a.setMode(ViewMode::Waveform);
	const QRect readout(10, 5, kW - 20, 18);
	for (float db : {-6.0f, -12.5f, -6.0f}) {
		a.snapshot.peakDb = db;
		a.snapshot.rmsDb = db - 3.0f;
		const QImage image = paint();
		QImage direct(image.size(), QImage::Format_ARGB32_Premultiplied);
		direct.fill(frameFill);
		{
			QPainter painter(&direct);
			painter.setFont(smallFont(view.font()));
			painter.setPen(dimText);
			painter.drawText(viewgeometry::readout(kW), Qt::AlignRight | Qt::AlignVCenter,
					 view.readoutText());
		}
		EXPECT_EQ(image.copy(readout).convertToFormat(QImage::Format_RGB32),
			  direct.copy(readout).convertToFormat(QImage::Format_RGB32))
			<< db;
		EXPECT_GT(probe::countTinted(image, readout, frameFill, dimText), 20);
	}
}

// A repaint of part of the view, in two rectangles as a tick asks for,
// copies exactly those rectangles of the picture and nothing else.
TEST_F(ViewPainting, APartialRepaintCopiesJustItsRectangles)
{
	a.snapshot.peakDb = -6.0f;
	a.snapshot.rmsDb = -9.0f;
	const QImage whole = paint();
	const QRegion part = QRegion(0, 0, kW, 28) + QRegion(kInnerMeter.adjusted(-1, -1, 1, 1));
	const QImage image = probe::render(view, part);
	for (int y = 0; y < kH; y++)
		for (int x = 0; x < kW; x++)
			ASSERT_EQ(image.pixel(x, y), part.contains(QPoint(x, y)) ? whole.pixel(x, y) : 0u)
				<< x << "," << y;
}

TEST_F(ViewPainting, TheTitleIsDrawnInTheHeader)
{
	EXPECT_GT(probe::countTinted(paint(), QRect(10, 5, 120, 18), frameFill, titleText), 20);
}

// The view paints every pixel of itself, so that Qt paints nothing beneath it.
// Under style sheets like OBS's dark theme and a light one with a gradient, in
// a dock it looks exactly as a view that lets the background show through:
// the dock's own background in the corners, the view's pixels elsewhere; and
// again after the theme changes.
TEST(ViewInADock, TheCornersShowTheDocksOwnBackground)
{
	WaveformView alone;
	alone.resize(kW, kH);
	alone.setTitle("Master mix");
	MonitorSnapshot heard;
	heard.waiting = false;
	alone.setSnapshot(heard);
	const QImage own = probe::render(alone);

	QWidget dock;
	dock.setObjectName("dock");
	dock.resize(kW + 30, kH + 40);
	auto *view = new WaveformView(&dock);
	view->setGeometry(12, 25, kW, kH);
	view->setTitle("Master mix");
	view->setSnapshot(heard);
	dock.show();
	for (const char *sheet : {"QWidget#dock { background: #1f212a; }",
				  "QWidget#dock { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, "
				  "stop:0 #fafafc, stop:1 #c8cad2); }"}) {
		dock.setStyleSheet(sheet);
		view->hide();
		const QImage beneath = dock.grab().toImage().convertToFormat(QImage::Format_RGB32);
		view->show();
		const QImage seen = dock.grab().toImage().convertToFormat(QImage::Format_RGB32);
		int corners = 0;
		for (int y = 0; y < kH; y++)
			for (int x = 0; x < kW; x++) {
				const QRgb mine = own.pixel(x, y);
				const bool through = qAlpha(mine) == 0;
				corners += through;
				const QRgb want = through ? beneath.pixel(12 + x, 25 + y) : mine;
				ASSERT_EQ(seen.pixel(12 + x, 25 + y), want | 0xff000000u)
					<< sheet << " at " << x << "," << y;
			}
		EXPECT_GT(corners, 8);
	}
}

TEST(ViewReadout, SpectrumShowsTheDominantFrequencyOrADashAndWaveformPeakAndRms)
{
	MonitorSnapshot s;
	EXPECT_EQ(WaveformView::readoutText(s), QStringLiteral("\u2014"));
	s.dominantHz = 439.6f;
	s.dominantDb = -12.34f;
	EXPECT_EQ(WaveformView::readoutText(s), QStringLiteral("440 Hz   -12.3 dB"));
	s.mode = ViewMode::Waveform;
	s.peakDb = s.rmsDb = -120.0f;
	EXPECT_EQ(WaveformView::readoutText(s), QStringLiteral("峰值 -∞ dB   有效值 -∞ dB"));
	s.peakDb = -6.02f;
	s.rmsDb = -118.9f;
	EXPECT_EQ(WaveformView::readoutText(s), QStringLiteral("峰值 -6.0 dB   有效值 -118.9 dB"));
}

TEST(FormatDb, MinusInfinityFromMinus119Down)
{
	EXPECT_EQ(formatDb(-119.0f), QStringLiteral("-∞ dB"));
	EXPECT_EQ(formatDb(-120.0f), QStringLiteral("-∞ dB"));
	EXPECT_EQ(formatDb(-118.9f), QStringLiteral("-118.9 dB"));
	EXPECT_EQ(formatDb(0.0f), QStringLiteral("0.0 dB"));
	EXPECT_EQ(formatDb(-6.02f), QStringLiteral("-6.0 dB"));
}

// Smaller than its margins, a view still has a one-pixel plot, and with a full
// ring and a loud signal paints its frame in either mode.
TEST(ViewGeometry, TinyViewsStillGetAOnePixelPlotAndPaintTheirFrame)
{
	EXPECT_EQ(viewgeometry::content(30, 40), QRectF(10, 28, 1, 1));
	WaveformView view;
	ViewDriver a{view};
	view.setMinimumSize(0, 0);
	view.resize(30, 40);
	view.show();
	const std::vector<float> loud(8192, 0.9f);
	const float *planes[] = {loud.data(), loud.data()};
	for (ViewMode mode : {ViewMode::Spectrum, ViewMode::Waveform}) {
		a.setMode(mode);
		a.tap.push(planes, 2, uint32_t(loud.size()), 1.0f);
		a.tickAfter(0.033);
		const QImage image = probe::render(view);
		EXPECT_TRUE(probe::near(image.pixelColor(5, 20), frameFill)) << int(mode);
		if (mode == ViewMode::Spectrum) {
			EXPECT_GT(a.snapshot.dominantHz, 0.0f) << "the full ring analysed";
		}
	}
}
