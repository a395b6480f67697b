#include "view/curve-stroke.hpp"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <random>

namespace {

// One point a pixel column, like the spectrum curve: a random walk in dB that
// swings hard (the costly case), or a floor with two narrow peaks.
QPolygonF curve(int n, bool jagged, unsigned seed, double top = 28, double height = 172)
{
	std::mt19937 rng(seed);
	std::normal_distribution<double> step(0.0, 5.0);
	QPolygonF points;
	double db = -50;
	for (int i = 0; i < n; i++) {
		if (jagged) {
			db = std::clamp(db + step(rng) - (db + 50) * 0.05, -90.0, 0.0);
		} else {
			db = -90;
			for (double centre : {0.3, 0.71}) {
				const double d = (double(i) / n - centre) * n;
				db = std::max(db, -3.0 - 0.8 * d * d);
			}
		}
		points << QPointF(10 + i, top + height * -db / 90.0);
	}
	return points;
}

QImage canvas(QSize size, qreal ratio = 1.0)
{
	QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
	image.setDevicePixelRatio(ratio);
	image.fill(QColor(13, 17, 23));
	return image;
}

int differingPixels(const QPolygonF &points, const QPen &pen, QSize size, qreal ratio = 1.0)
{
	QImage whole = canvas(size, ratio), sliced = canvas(size, ratio);
	{
		QPainter p(&whole);
		p.setRenderHint(QPainter::Antialiasing, true);
		QPainterPath path;
		path.addPolygon(points);
		p.strokePath(path, pen);
	}
	{
		QPainter p(&sliced);
		p.setRenderHint(QPainter::Antialiasing, true);
		strokePolyline(p, points, pen);
	}
	int differing = 0;
	for (int y = 0; y < whole.height(); y++)
		for (int x = 0; x < whole.width(); x++)
			differing += whole.pixel(x, y) != sliced.pixel(x, y);
	return differing;
}

} // namespace

// On whatever Qt the module runs with, the sliced stroke is the whole one.
TEST(CurveStroke, SlicedIsPixelForPixelTheWholeStrokeAtEveryLength)
{
	const QPen pen(QColor(77, 157, 240), 1.2);
	for (int n : {1, 2, 3, 16, 17, 18, 19, 33, 100, 462}) {
		for (bool jagged : {false, true}) {
			EXPECT_EQ(differingPixels(curve(n, jagged, unsigned(n)), pen, QSize(500, 220)), 0)
				<< n << " points, " << (jagged ? "jagged" : "peaks");
		}
	}
}

TEST(CurveStroke, SlicedIsTheWholeStrokeForLargeCurvesOtherPensAndTranslucency)
{
	for (unsigned seed = 1; seed <= 4; seed++)
		EXPECT_EQ(differingPixels(curve(962, true, seed, 28, 392), QPen(QColor(61, 213, 152), 1.2),
					  QSize(1000, 440)),
			  0)
			<< "seed " << seed;
	EXPECT_EQ(differingPixels(curve(462, true, 9), QPen(QColor(255, 95, 86, 120), 2.5), QSize(500, 220)), 0);
	EXPECT_EQ(differingPixels(curve(462, true, 10),
				  QPen(QBrush(Qt::white), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin),
				  QSize(500, 220)),
		  0);
	EXPECT_EQ(differingPixels(curve(462, false, 9), QPen(QColor(255, 255, 255), 0.7), QSize(500, 220)), 0);
	// At twice the pixels, as on a high-density screen.
	for (bool jagged : {false, true})
		EXPECT_EQ(differingPixels(curve(284, jagged, 11), QPen(QColor(77, 157, 240), 1.2), QSize(300, 160),
					  2.0),
			  0)
			<< (jagged ? "jagged" : "peaks") << " at ratio 2";
}

TEST(CurveStroke, KeepsTheCallersClipAndLeavesThePainterAsItWas)
{
	const QPolygonF points = curve(462, true, 3);
	const QPen pen(QColor(77, 157, 240), 1.2);
	const QRect clip(0, 60, 250, 100);
	QImage whole = canvas(QSize(500, 220)), sliced = canvas(QSize(500, 220));
	{
		QPainter p(&whole);
		p.setRenderHint(QPainter::Antialiasing, true);
		p.setClipRect(clip);
		QPainterPath path;
		path.addPolygon(points);
		p.strokePath(path, pen);
	}
	QPainter p(&sliced);
	p.setRenderHint(QPainter::Antialiasing, true);
	p.setPen(QPen(Qt::red, 3));
	p.setBrush(Qt::green);
	p.setClipRect(clip);
	strokePolyline(p, points, pen);
	EXPECT_EQ(p.pen(), QPen(Qt::red, 3));
	EXPECT_EQ(p.brush(), QBrush(Qt::green));
	EXPECT_EQ(p.clipBoundingRect(), QRectF(clip));
	p.end();
	int differing = 0, drawn = 0;
	for (int y = 0; y < 220; y++) {
		for (int x = 0; x < 500; x++) {
			differing += whole.pixel(x, y) != sliced.pixel(x, y);
			drawn += sliced.pixelColor(x, y) != QColor(13, 17, 23);
		}
	}
	EXPECT_GT(drawn, 300);
	EXPECT_EQ(differing, 0) << "the caller's clip still holds";
}
