#include "waveform-view.hpp"

#include "view-geometry.hpp"

#include <QEvent>
#include <QResizeEvent>

#include <utility>

namespace {

constexpr int kMinimumHeight = 80;

} // namespace

WaveformView::WaveformView(QWidget *parent) : QWidget(parent)
{
	// Every pixel is painted, the corners with what lies beneath: Qt then
	// repaints nothing under the view, which costs more than the view itself.
	setAttribute(Qt::WA_OpaquePaintEvent, true);
	setMinimumHeight(kMinimumHeight);
}

WaveformView::~WaveformView() = default;

QSize WaveformView::sizeHint() const
{
	return QSize(280, 160);
}

QSize WaveformView::minimumSizeHint() const
{
	return QSize(240, 90);
}

void WaveformView::resizeEvent(QResizeEvent *event)
{
	QWidget::resizeEvent(event);
	if (event->size().width() != event->oldSize().width())
		emit plotResized();
	repaintAll();
}

// The dock's background may look different under a new style, palette or
// parent, or after the view was away.
void WaveformView::changeEvent(QEvent *event)
{
	QWidget::changeEvent(event);
	const QEvent::Type type = event->type();
	if (type == QEvent::StyleChange || type == QEvent::PaletteChange || type == QEvent::ParentChange)
		underlayChanges++;
}

void WaveformView::showEvent(QShowEvent *event)
{
	QWidget::showEvent(event);
	underlayChanges++;
	forgetPicture();
}

// The panel sets the title again every half second: only a new one repaints.
void WaveformView::setAccentColor(const QColor &color)
{
	if (color == accentColor)
		return;
	accentColor = color;
	repaintAll();
}

void WaveformView::setTitle(const QString &text)
{
	if (text == title)
		return;
	title = text;
	repaintAll();
}

void WaveformView::setSnapshot(const MonitorSnapshot &next)
{
	// The two swap, and the new one is copied into the old one's buffers.
	std::swap(previous, picture);
	picture = next;
	strokesStale |= !picture.changed.empty() || picture.mode != previous.mode;
	if (isVisible())
		scheduleRepaint(previous);
}

int WaveformView::plotColumns() const
{
	return int(viewgeometry::content(width(), height()).width());
}

// What is on screen no longer says what the next picture shows.
void WaveformView::forgetPicture()
{
	pictureValid = false;
	strokesStale = true;
}

void WaveformView::repaintAll()
{
	forgetPicture();
	update();
}
