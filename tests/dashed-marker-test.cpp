#include "view/dashed-marker.hpp"

#include <gtest/gtest.h>

#include <QLinearGradient>
#include <QPainter>

namespace {

// A background that differs from pixel to pixel, so that a copy blended
// differently from Qt's own drawing shows.
QImage canvas(qreal ratio)
{
	QImage image(QSize(60, 120) * ratio, QImage::Format_ARGB32_Premultiplied);
	image.setDevicePixelRatio(ratio);
	QPainter p(&image);
	QLinearGradient gradient(0, 0, 60, 120);
	gradient.setColorAt(0, QColor(13, 17, 23));
	gradient.setColorAt(1, QColor(90, 140, 60));
	p.fillRect(QRectF(0, 0, 60, 120), gradient);
	return image;
}

} // namespace

// At any fraction of a pixel and either ratio, the copied marker is Qt's own
// dashed line, and it follows the line to a new place.
TEST(DashedMarker, IsPixelForPixelQtsDashedLineWhereverItStands)
{
	const QPen pen(QBrush(QColor(230, 237, 243, 110)), 1.0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin);
	DashedMarker marker;
	for (qreal ratio : {1.0, 2.0, 1.5})
		for (double x : {20.0, 20.25, 20.5, 31.8, 12.125}) {
			QImage drawn = canvas(ratio), copied = canvas(ratio);
			{
				QPainter p(&drawn);
				p.setRenderHint(QPainter::Antialiasing, true);
				p.setPen(pen);
				p.drawLine(QPointF(x, 10.0), QPointF(x, 110.5));
			}
			{
				QPainter p(&copied);
				p.setRenderHint(QPainter::Antialiasing, true);
				marker.paint(p, x, 10.0, 110.5, pen);
			}
			EXPECT_NE(drawn, canvas(ratio)) << "a line was drawn";
			EXPECT_EQ(drawn, copied) << "at " << x << ", ratio " << ratio;
		}
}
