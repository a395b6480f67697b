#include "waveform-view.hpp"

#include "view-geometry.hpp"

#include <QDateTime>
#include <QEvent>

namespace {

constexpr int kMinimumHeight = 80;

} // namespace

WaveformView::WaveformView(QWidget *parent) : QWidget(parent)
{
	// Every pixel is painted, the corners with what lies beneath: Qt then
	// repaints nothing under the view, which costs more than the view itself.
	setAttribute(Qt::WA_OpaquePaintEvent, true);
	setMinimumHeight(kMinimumHeight);
	clock.start();
	monitor.lastTickMs = clock.elapsed();
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
	monitor.updateColumnWidth(contentWidth());
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

// The next tick repaints all of it.
void WaveformView::reset()
{
	monitor.reset();
	forgetPicture();
}

void WaveformView::setMode(ViewMode m)
{
	if (monitor.setMode(m))
		repaintAll();
}

void WaveformView::attachTap(SampleTap *t)
{
	monitor.attachTap(t);
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

void WaveformView::tick()
{
	const TickTime now{clock.elapsed(), QDateTime::currentMSecsSinceEpoch()};
	const ColumnSpan plotChanged = monitor.tick(now, contentWidth(), isVisible());
	strokesStale |= !plotChanged.empty();
	if (isVisible())
		scheduleRepaint(plotChanged);
}

int WaveformView::contentWidth() const
{
	return int(viewgeometry::content(width(), height()).width());
}

// What the last picture showed no longer says what the next one shows.
void WaveformView::forgetPicture()
{
	shownValid = false;
	strokesStale = true;
}

void WaveformView::repaintAll()
{
	forgetPicture();
	update();
}
