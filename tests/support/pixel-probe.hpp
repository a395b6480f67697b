#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cmath>

// Paints a widget (or a region of it, as a partial repaint does) into an
// image the way it paints on screen (offscreen platform), and looks for
// colours in it. Text is anti-aliased, so text tests ask whether a colour is
// present near a place, never for glyph shapes.
namespace probe {

inline QImage render(QWidget &widget, const QRegion &region = QRegion())
{
	QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
	image.fill(Qt::transparent);
	widget.render(&image, QPoint(), region, QWidget::DrawChildren);
	return image;
}

inline int distance(const QColor &a, const QColor &b)
{
	return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

inline bool near(const QColor &a, const QColor &b, int tolerance = 6)
{
	return distance(a, b) <= tolerance && a.alpha() == 255;
}

// How many pixels of the rectangle are within tolerance of the colour.
inline int count(const QImage &image, const QRect &rect, const QColor &color, int tolerance = 6)
{
	int n = 0;
	const QRect r = rect.intersected(image.rect());
	for (int y = r.top(); y <= r.bottom(); y++)
		for (int x = r.left(); x <= r.right(); x++)
			n += near(image.pixelColor(x, y), color, tolerance);
	return n;
}

// How many pixels of the rectangle are a mix of background and colour with at
// least minShare of the colour: anti-aliased text in that colour.
inline int countTinted(const QImage &image, const QRect &rect, const QColor &background, const QColor &color,
		       double minShare = 0.3)
{
	const double dr = color.red() - background.red(), dg = color.green() - background.green(),
		     db = color.blue() - background.blue();
	const double length2 = dr * dr + dg * dg + db * db;
	int n = 0;
	const QRect r = rect.intersected(image.rect());
	for (int y = r.top(); y <= r.bottom(); y++)
		for (int x = r.left(); x <= r.right(); x++) {
			const QColor c = image.pixelColor(x, y);
			const double pr = c.red() - background.red(), pg = c.green() - background.green(),
				     pb = c.blue() - background.blue();
			const double share = (pr * dr + pg * dg + pb * db) / length2;
			const double off =
				std::abs(pr - share * dr) + std::abs(pg - share * dg) + std::abs(pb - share * db);
			n += share >= minShare && share <= 1.05 && off <= 12.0;
		}
	return n;
}

} // namespace probe
