#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>

// The views' palette, pens and fonts, shared by every painter of the view.
namespace viewstyle {

inline const QColor frameFill{13, 17, 23};
inline const QColor frameLine{35, 42, 53};
inline const QColor gridLine{28, 36, 49};
inline const QColor freqGridLine{22, 29, 39};
inline const QColor zeroLine{44, 54, 70};
inline const QColor titleText{201, 209, 217};
inline const QColor dimText{125, 134, 148};
inline const QColor clipRed{255, 95, 86};
inline const QColor meterGreen{46, 204, 113};
inline const QColor meterYellow{255, 204, 77};
inline const QColor meterBack{20, 26, 35};
inline const QColor peakLine{230, 237, 243};

inline const QColor inputAccent{61, 213, 152};  // #3DD598
inline const QColor masterAccent{77, 157, 240}; // #4D9DF0

// Every line in the view is drawn with this kind of pen.
QPen linePen(const QColor &color, qreal width = 1.0, Qt::PenStyle style = Qt::SolidLine);

QFont titleFont(const QFont &base);
QFont smallFont(const QFont &base);
QFont badgeFont(const QFont &base);
QFont scaleFont(const QFont &painterFont, const QFont &base);

// A level as text: "-6.0 dB", or "-∞ dB" at or below -119 dB.
QString formatDb(float db);

} // namespace viewstyle
