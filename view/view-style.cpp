#include "view-style.hpp"

#include "monitor/level-meter.hpp"

#include <algorithm>

namespace viewstyle {

namespace {
// A dB above the silence every meter rests on reads as silence too.
constexpr float kMinusInfinityDb = meter::kSilenceDb + 1.0f;
} // namespace

QPen linePen(const QColor &color, qreal width, Qt::PenStyle style)
{
	return QPen(QBrush(color, Qt::SolidPattern), width, style, Qt::SquareCap, Qt::BevelJoin);
}

QFont titleFont(const QFont &base)
{
	QFont f(base);
	f.setPointSizeF(std::max(base.pointSizeF(), 8.0));
	f.setWeight(QFont::Bold);
	return f;
}

QFont smallFont(const QFont &base)
{
	QFont f(base);
	f.setPointSizeF(std::max(base.pointSizeF() - 1.0, 7.5));
	return f;
}

QFont badgeFont(const QFont &base)
{
	QFont f = smallFont(base);
	f.setWeight(QFont::Bold);
	return f;
}

QFont scaleFont(const QFont &painterFont, const QFont &base)
{
	QFont f(painterFont);
	f.setPointSizeF(std::max(base.pointSizeF() - 1.5, 7.0));
	return f;
}

QString formatDb(float db)
{
	if (db <= kMinusInfinityDb)
		return QStringLiteral("-\u221E dB");
	return QString::number(double(db), 'f', 1) + QStringLiteral(" dB");
}

} // namespace viewstyle
