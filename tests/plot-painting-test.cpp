#include "support/pixel-probe.hpp"
#include "support/view-driver.hpp"
#include "view/view-style.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace viewstyle;

namespace {

// A 500 x 220 view: the plot is (10, 28, 462, 172), right edge 472, bottom 200.
constexpr int kW = 500, kH = 220;
constexpr double kLeft = 10, kTop = 28, kWidth = 462, kHeight = 172;
constexpr double kBinHz = 48000.0 / 8192;
// 48000 Hz x 3 s over 462 pixels: 311.7 samples a column, so 312 each.
constexpr int kColumn = 312;

// A column that spans -v to +v.
std::vector<float> swing(int columns, float v)
{
	std::vector<float> s(size_t(columns * kColumn));
	for (size_t i = 0; i < s.size(); i++)
		s[i] = i % 2 ? -v : v;
	return s;
}

int freqX(double hz)
{
	return int(kLeft + kWidth * std::log(hz / 20.0) / std::log(1000.0));
}

int levelY(double db)
{
	return int(kTop + kHeight * -db / 90.0);
}

class PlotPainting : public ::testing::Test {
protected:
	void SetUp() override
	{
		view.resize(kW, kH);
		view.setAccentColor(masterAccent);
		view.show(); // a view nobody sees analyses nothing
	}
	void feed(const std::vector<float> &left, const std::vector<float> &right = {})
	{
		a.push(left, right);
		a.tickAfter(0.033);
	}
	std::vector<float> sine(double hz, float amplitude, int n = 8192)
	{
		std::vector<float> v = std::vector<float>(size_t(n));
		for (int i = 0; i < n; i++)
			v[size_t(i)] = amplitude * float(std::sin(2.0 * std::numbers::pi * hz * i / 48000.0));
		return v;
	}
	QImage paint() { return probe::render(view); }
	int accentIn(const QImage &image, const QRect &r)
	{
		return probe::countTinted(image, r, frameFill, masterAccent, 0.6);
	}

	WaveformView view;
	ViewDriver a{view};
};

} // namespace

TEST_F(PlotPainting, BeforeTheFirstAnalysisTheSpectrumShowsOnlyItsGrids)
{
	feed(sine(1000, 1.0f, 4000)); // not yet 8192 samples
	const QImage image = paint();
	EXPECT_EQ(accentIn(image, QRect(11, 29, 460, 170)), 0);
	EXPECT_TRUE(probe::near(image.pixelColor(freqX(1000), 150), freqGridLine, 0));
	EXPECT_TRUE(probe::near(image.pixelColor(300, levelY(-20)), gridLine, 0));
	EXPECT_TRUE(probe::near(image.pixelColor(300, levelY(0)), zeroLine, 0));
	// "-20" above its line, "1k" below the plot.
	EXPECT_GT(probe::countTinted(image, QRect(12, levelY(-20) - 10, 30, 10), frameFill, dimText), 3);
	EXPECT_GT(probe::countTinted(image, QRect(freqX(1000) - 17, 202, 34, 14), frameFill, dimText), 3);
}

TEST_F(PlotPainting, ABinCentredToneDrawsTheCurvesTopAtItsFrequency)
{
	const double hz = 171 * kBinHz; // 1001.95 Hz
	feed(sine(hz, 1.0f));
	const QImage image = paint();
	const int x = freqX(hz);
	EXPECT_GT(accentIn(image, QRect(x - 2, int(kTop), 5, 4)), 0) << "the curve reaches 0 dB there";
	EXPECT_EQ(accentIn(image, QRect(freqX(8000) - 2, int(kTop), 5, 4)), 0) << "and nowhere near 8 kHz";
	// The fill below the curve is the accent colour, most opaque near the top.
	const QColor fill = image.pixelColor(x, 60);
	EXPECT_GT(fill.blue(), frameFill.blue() + 60);
}

TEST_F(PlotPainting, SilenceMarksTheLowestBinWithADashedLineAtTheLeftEdge)
{
	feed(std::vector<float>(8192, 0.0f));
	ASSERT_FLOAT_EQ(a.snapshot.dominantHz, 23.4375f);
	const QImage image = paint();
	const int x = freqX(23.4375);
	// Rows between the level labels, whose grey lies on the same line.
	const QRect rows(x - 1, levelY(-40) + 2, 3, levelY(-60) - 12 - levelY(-40) - 2);
	const int marked = probe::countTinted(image, rows, frameFill, titleText, 0.1);
	EXPECT_GT(marked, rows.height() / 2);
	EXPECT_LT(marked, 2 * rows.height()) << "dashed, not solid";
	EXPECT_EQ(probe::countTinted(image, rows.translated(10, 0), frameFill, titleText, 0.1), 0);
	// The curve lies on the bottom edge.
	EXPECT_GT(probe::countTinted(image, QRect(100, 198, 300, 4), frameFill, masterAccent, 0.3), 200);
}

// A tick asks Qt to repaint only what changed: the last picture with just
// that region painted again is, pixel for pixel, the whole picture painted
// anew. Through a new tone, a second tone beside it, a louder one, a quieter
// one whose meter and curve fall, and a tick without audio.
TEST_F(PlotPainting, RepaintingOnlyWhatChangedGivesTheWholePicture)
{
	struct RegionLog : QObject {
		QRegion region;
		bool eventFilter(QObject *, QEvent *e) override
		{
			if (e->type() == QEvent::Paint)
				region += static_cast<QPaintEvent *>(e)->region();
			return false;
		}
	} log;
	QCoreApplication::processEvents();
	view.installEventFilter(&log);
	QImage last = paint();
	auto mix = [&](double hzA, float a, double hzB, float b) {
		std::vector<float> s = sine(hzA, a, 1600), t = sine(hzB, b, 1600);
		for (size_t i = 0; i < s.size(); i++)
			s[i] += t[i];
		return s;
	};
	const std::vector<float> blocks[] = {
		sine(1000, 0.5f),       sine(1000, 0.5f, 1600),  mix(1000, 0.5f, 4000, 0.1f),
		sine(1000, 0.9f, 1600), sine(1000, 0.05f, 1600), {}};
	int partial = 0;
	for (const std::vector<float> &block : blocks) {
		log.region = QRegion();
		if (block.empty())
			a.tickAfter(0.033);
		else
			feed(block);
		QCoreApplication::processEvents();
		const QRegion repainted = log.region;
		// render() puts the region's corner at the offset it is given, and
		// renders everything for an empty one.
		if (!repainted.isEmpty())
			view.render(&last, repainted.boundingRect().topLeft(), repainted, QWidget::DrawChildren);
		const QImage whole = paint();
		ASSERT_EQ(last, whole) << "after " << block.size() << " samples";
		partial += !repainted.isEmpty() && repainted != QRegion(view.rect());
		last = whole;
	}
	EXPECT_GE(partial, 3) << "most of those repaints were partial";
}

TEST_F(PlotPainting, TenWaveformColumnsFillOnlyTheRightmostTenPixels)
{
	a.setMode(ViewMode::Waveform);
	feed(swing(10, 0.5f));
	ASSERT_EQ(a.snapshot.waveform.size(), 10u);
	const QImage image = paint();
	const int upper = int(kTop + kHeight / 2 - 0.25 * (kHeight / 2 - 2)); // between the centre and +0.5
	EXPECT_EQ(accentIn(image, QRect(462, upper, 10, 1)), 10);
	EXPECT_EQ(accentIn(image, QRect(11, int(kTop) + 2, 450, int(kHeight) - 4)), 0);
}

TEST_F(PlotPainting, ClippedColumnsAreRedAndOthersTheAccent)
{
	a.setMode(ViewMode::Waveform);
	std::vector<float> block(kColumn, 0.998f);
	block.resize(2 * kColumn, 0.999f);
	feed(block);
	ASSERT_EQ(a.snapshot.waveform.size(), 2u);
	const QImage image = paint();
	// Both columns are dots just below the top of the lane (y = 30).
	EXPECT_GT(accentIn(image, QRect(470, 29, 1, 3)), 0);
	EXPECT_GT(probe::count(image, QRect(471, 29, 1, 3), clipRed, 0), 0);
	EXPECT_EQ(probe::count(image, QRect(470, 29, 1, 3), clipRed, 0), 0);
}

TEST_F(PlotPainting, StereoDrawsTwoLanesWithAnEightPixelGap)
{
	a.setMode(ViewMode::Waveform);
	std::vector<float> right = swing(10, 0.09f);
	for (float &v : right)
		v -= 0.79f; // -0.88 .. -0.7: the lower half only
	std::vector<float> left = right;
	for (float &v : left)
		v = -v;
	feed(left, right);
	const QImage image = paint();
	// Lanes of (172 - 8) / 2 = 82 px, 39 px a side: the upper shows +0.7..+0.88
	// of channel 0, the lower -0.88..-0.7 of channel 1.
	const double lane = (kHeight - 8) / 2, half = lane / 2 - 2;
	EXPECT_EQ(accentIn(image, QRect(462, int(kTop + lane / 2 - 0.8 * half), 10, 1)), 10);
	EXPECT_EQ(accentIn(image, QRect(462, int(kTop + lane + 8 + lane / 2 + 0.8 * half), 10, 1)), 10);
	EXPECT_EQ(accentIn(image, QRect(462, int(kTop + lane / 2 + 0.8 * half), 10, 1)), 0) << "no mirror image";
	EXPECT_EQ(accentIn(image, QRect(455, int(kTop + lane + 1), 17, 6)), 0) << "the gap stays empty";
	EXPECT_TRUE(probe::near(image.pixelColor(300, int(kTop + lane + 4)), frameFill, 0));
}

TEST_F(PlotPainting, AFlatLaneStillShowsOnePixelStrokes)
{
	a.setMode(ViewMode::Waveform);
	feed(std::vector<float>(kColumn * 3, 0.0f));
	const QImage image = paint();
	const int centre = int(kTop + kHeight / 2);
	EXPECT_EQ(accentIn(image, QRect(469, centre, 3, 1)), 3) << "each column a stroke on the centre line";
	EXPECT_EQ(accentIn(image, QRect(469, centre - 3, 3, 2)), 0) << "and none above it";
}

// Strokes are written into the picture's pixels for speed; they must be
// exactly what Qt's own one-pixel lines give over the same backdrop, on
// whatever Qt the module runs with, opaque or translucent.
TEST_F(PlotPainting, WaveformStrokesArePixelForPixelQtsOwnLines)
{
	a.setMode(ViewMode::Waveform);
	std::vector<float> wobble(size_t(kColumn) * 400);
	for (size_t i = 0; i < wobble.size(); i++)
		wobble[i] = float(std::sin(double(i) * 0.0007) * std::sin(double(i) * 0.05) * 1.1);
	feed(wobble);
	const std::vector<WaveColumn> h = a.snapshot.waveform;
	const int n = int(h.size()) < int(kWidth) ? int(h.size()) : int(kWidth);
	ASSERT_GT(n, 300);
	// Beneath the plot's strokes: the picture of the same snapshot without them.
	MonitorSnapshot bare = a.snapshot;
	bare.waveform.clear();

	for (const QColor &accent : {masterAccent, QColor(77, 157, 240, 120)}) {
		view.setAccentColor(accent);
		view.setSnapshot(bare);
		const QImage backdrop = probe::render(view);
		view.setSnapshot(a.snapshot);
		const QImage image = paint();
		QImage lines = backdrop.convertToFormat(QImage::Format_ARGB32_Premultiplied);
		QPainter p(&lines);
		const double centre = kTop + kHeight / 2, half = kHeight / 2 - 2;
		for (int i = 0; i < n; i++) {
			const WaveColumn &c = h[h.size() - size_t(n) + size_t(i)];
			const double yTop = centre - half * std::clamp(c.maxL, -1.2f, 1.2f);
			const double yBot = centre - half * std::clamp(c.minL, -1.2f, 1.2f);
			p.setPen(linePen(c.maxL >= 0.999f || c.minL <= -0.999f ? clipRed : accent));
			const double x = kLeft + kWidth - n + i;
			p.drawLine(QPointF(x, yTop), QPointF(x, std::max(yTop + 1, yBot)));
		}
		p.end();
		int strokePixels = 0, differing = 0;
		for (int x = int(kLeft); x < int(kLeft + kWidth); x++) {
			for (int y = int(kTop); y < int(kTop + kHeight); y++) {
				strokePixels += lines.pixel(x, y) != backdrop.pixel(x, y);
				differing += image.pixel(x, y) != lines.pixel(x, y);
			}
		}
		EXPECT_GT(strokePixels, 5000) << "alpha " << accent.alpha();
		EXPECT_EQ(differing, 0) << "alpha " << accent.alpha();
	}
}
