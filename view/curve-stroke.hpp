#pragma once

#include <QPen>
#include <QPolygonF>

class QPainter;

// Strokes an open polyline whose points run left to right at least a pixel
// apart, giving exactly the pixels of QPainter::strokePath on the whole line;
// with an antialiased pen wider than a pixel, at a fraction of its cost for
// long, tall lines such as a spectrum curve. Only the slices that reach into
// the columns from fromX to toX are stroked: a repaint of part of the picture
// strokes only that part.
void strokePolyline(QPainter &painter, const QPolygonF &points, const QPen &pen, double fromX = -1e6, double toX = 1e6);
