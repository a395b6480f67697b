#include "dashed-marker.hpp"

#include <QPaintDevice>
#include <QPainter>

void DashedMarker::paint(QPainter &painter, double x, double top, double bottom, const QPen &pen)
{
	const qreal ratio = painter.device()->devicePixelRatio();
	const Key now{x, top, bottom, ratio, pen};
	if (!(now == key) || strip.isNull()) {
		key = now;
		// Square caps and antialiasing reach past the line's ends and sides;
		// the strip starts on a device pixel, so copying it moves no pixel.
		const double reach = pen.widthF() + 1.0;
		const QRect device =
			QRectF(QPointF(x - reach, top - reach) * ratio, QPointF(x + reach, bottom + reach) * ratio)
				.toAlignedRect();
		strip = QImage(device.size(), QImage::Format_ARGB32_Premultiplied);
		strip.setDevicePixelRatio(ratio);
		strip.fill(Qt::transparent);
		at = QPointF(device.topLeft()) / ratio;
		QPainter p(&strip);
		p.setRenderHint(QPainter::Antialiasing, true);
		p.translate(-at);
		p.setPen(pen);
		p.drawLine(QPointF(x, top), QPointF(x, bottom));
	}
	painter.drawImage(at, strip);
}
