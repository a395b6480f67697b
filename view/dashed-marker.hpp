#pragma once

#include <QImage>
#include <QPen>
#include <QPointF>

class QPainter;

// A vertical dashed line drawn by Qt once into a strip of its own and then
// copied: the pixels of QPainter::drawLine with the same antialiased pen,
// without Qt dashing the line again at every paint of a marker that stays put.
class DashedMarker {
public:
	void paint(QPainter &painter, double x, double top, double bottom, const QPen &pen);

private:
	struct Key {
		double x = -1.0, top = 0.0, bottom = 0.0;
		qreal ratio = 0.0;
		QPen pen;
		bool operator==(const Key &o) const
		{
			return x == o.x && top == o.top && bottom == o.bottom && ratio == o.ratio && pen == o.pen;
		}
	};

	Key key;
	QImage strip;
	QPointF at;
};
