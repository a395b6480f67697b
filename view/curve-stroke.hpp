#pragma once

#include <QPen>
#include <QPolygonF>

class QPainter;

// Strokes an open polyline whose points run left to right at least a pixel
// apart, giving exactly the pixels of QPainter::strokePath on the whole line;
// with an antialiased pen wider than a pixel, at a fraction of its cost for
// long, tall lines such as a spectrum curve.
void strokePolyline(QPainter &painter, const QPolygonF &points, const QPen &pen);
