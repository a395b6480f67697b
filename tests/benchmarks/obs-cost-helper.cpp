// A module for tools/obs-cost.sh, never installed with the product. It puts the
// dock "tovrin" where the benchmark wants it (docked, at a given size, or
// closed) and, for the baseline, stands in for the product with a dock of the
// same id that never repaints. Driven by the environment:
//   TOVRIN_BENCH_PLACEHOLDER=1   register the placeholder dock
//   TOVRIN_BENCH_PLACEHOLDER=2   register, in its place, a dock whose two
//                                view-sized areas are filled whole at every
//                                tick: what any dock pays whose two views
//                                change whole 30 times a second
//   TOVRIN_BENCH_VIEWS=WxH       those areas' size (the default docked views')
//   TOVRIN_BENCH_DOCK=WxH        size the docked dock "tovrin", an empty dock
//                                below it taking the rest of its area's height
//   TOVRIN_BENCH_HIDE=1          close it once it is placed
//   TOVRIN_BENCH_HIDE_MIXER=1    close OBS's own Audio Mixer dock
//   TOVRIN_BENCH_TEXTS=1         log the dock's texts, for the tests
// It logs "[tovrin-bench] placed ..." with the sizes it got, and each text as
// "[tovrin-bench] text: ...".
#include <obs-frontend-api.h>
#include <obs-module.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

OBS_DECLARE_MODULE()

namespace {

constexpr const char *kDockId = "tovrin";
// After the product's own fix-up, two seconds after post-load.
constexpr int kPlaceDelayMs = 3000;
constexpr int kReportDelayMs = 1000;
// The product's tick, and its views' size in the default docked dock.
constexpr int kTickIntervalMs = 33;
constexpr QSize kViewSize(284, 126);

// A size given as WxH in the environment variable name, or an empty one.
QSize sizeFromEnvironment(const char *name)
{
	const QStringList size = qEnvironmentVariable(name).split('x');
	return size.size() == 2 ? QSize(size[0].toInt(), size[1].toInt()) : QSize();
}

// Never paints: Qt draws nothing for a widget without a background of its own.
class Placeholder : public QWidget {
public:
	QSize sizeHint() const override { return QSize(300, 452); }
};

// One view's area, painted opaque with a plain fill: the least a repaint costs.
class Fill : public QWidget {
public:
	Fill()
	{
		setAttribute(Qt::WA_OpaquePaintEvent);
		const QSize size = sizeFromEnvironment("TOVRIN_BENCH_VIEWS");
		setFixedSize(size.isEmpty() ? kViewSize : size);
	}

protected:
	void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(18, 20, 26)); }
};

Placeholder *repainter()
{
	auto *dock = new Placeholder;
	auto *layout = new QVBoxLayout(dock);
	Fill *views[] = {new Fill, new Fill};
	for (Fill *view : views)
		layout->addWidget(view);
	layout->addStretch();
	auto *tick = new QTimer(dock);
	tick->setInterval(kTickIntervalMs);
	QObject::connect(tick, &QTimer::timeout, dock, [views] {
		for (Fill *view : views)
			view->update();
	});
	tick->start();
	return dock;
}

QMainWindow *mainWindow()
{
	return static_cast<QMainWindow *>(obs_frontend_get_main_window());
}

QDockWidget *dock()
{
	QMainWindow *main = mainWindow();
	return main ? main->findChild<QDockWidget *>(kDockId) : nullptr;
}

void report()
{
	QDockWidget *d = dock();
	if (!d)
		return;
	QString views;
	for (QWidget *w : d->findChildren<QWidget *>())
		if (qstrcmp(w->metaObject()->className(), "WaveformView") == 0)
			views += QStringLiteral(" %1x%2").arg(w->width()).arg(w->height());
	blog(LOG_INFO, "[tovrin-bench] placed: dock %dx%d visible %d floating %d dpr %.1f views%s", d->width(),
	     d->height(), int(d->isVisible()), int(d->isFloating()), d->devicePixelRatioF(),
	     views.isEmpty() ? " none" : qUtf8Printable(views));
}

// What the dock says, from its widget tree: labels, buttons, list entries.
void reportTexts(QDockWidget *d)
{
	QStringList texts;
	for (QLabel *l : d->findChildren<QLabel *>())
		texts << l->text();
	for (QAbstractButton *b : d->findChildren<QAbstractButton *>())
		texts << b->text() << b->toolTip();
	for (QComboBox *c : d->findChildren<QComboBox *>())
		for (int i = 0; i < c->count(); i++)
			texts << c->itemText(i);
	for (const QString &text : texts)
		if (!text.isEmpty())
			blog(LOG_INFO, "[tovrin-bench] text: %s", qUtf8Printable(text));
}

void place()
{
	QDockWidget *d = dock();
	if (!d) {
		blog(LOG_WARNING, "[tovrin-bench] no dock to place");
		return;
	}
	if (!d->isVisible())
		d->toggleViewAction()->activate(QAction::Trigger);
	d->setFloating(false);
	if (const QSize size = sizeFromEnvironment("TOVRIN_BENCH_DOCK"); !size.isEmpty()) {
		// Alone in its area the dock takes the area's whole height; an
		// empty dock below it takes the rest.
		auto *filler = new QDockWidget(QStringLiteral("Filler"), mainWindow());
		filler->setObjectName(QStringLiteral("tovrin-bench-filler"));
		filler->setWidget(new QWidget);
		mainWindow()->addDockWidget(mainWindow()->dockWidgetArea(d), filler);
		mainWindow()->splitDockWidget(d, filler, Qt::Vertical);
		// Sized once the main window has laid the split out, and once more
		// as the first sizing moves the separator's limits.
		auto resize = [d, filler, w = size.width(), h = size.height()] {
			mainWindow()->resizeDocks({d}, {w}, Qt::Horizontal);
			mainWindow()->resizeDocks({d, filler}, {h, d->height() + filler->height() - h}, Qt::Vertical);
		};
		QTimer::singleShot(kReportDelayMs / 4, resize);
		QTimer::singleShot(kReportDelayMs / 2, resize);
	}
	// Hidden as the Docks menu hides it: closing it would ask OBS for its
	// "closed a dockable window" dialog.
	if (qEnvironmentVariableIntValue("TOVRIN_BENCH_HIDE_MIXER"))
		if (auto *mixer = mainWindow()->findChild<QDockWidget *>(QStringLiteral("mixerDock")))
			if (mixer->isVisible())
				mixer->toggleViewAction()->activate(QAction::Trigger);
	if (qEnvironmentVariableIntValue("TOVRIN_BENCH_HIDE"))
		QTimer::singleShot(kReportDelayMs * 3 / 4, [d] { d->toggleViewAction()->activate(QAction::Trigger); });
	QTimer::singleShot(kReportDelayMs, report);
	if (qEnvironmentVariableIntValue("TOVRIN_BENCH_TEXTS"))
		QTimer::singleShot(kReportDelayMs, [d] { reportTexts(d); });
}

} // namespace

bool obs_module_load(void)
{
	return true;
}

void obs_module_post_load(void)
{
	if (const int kind = qEnvironmentVariableIntValue("TOVRIN_BENCH_PLACEHOLDER")) {
		Placeholder *placeholder = kind == 2 ? repainter() : new Placeholder;
		if (!obs_frontend_add_dock_by_id(kDockId, "Tovrin", placeholder))
			delete placeholder;
	}
	QTimer::singleShot(kPlaceDelayMs, place);
}

void obs_module_unload(void)
{
	if (qEnvironmentVariableIntValue("TOVRIN_BENCH_PLACEHOLDER"))
		obs_frontend_remove_dock(kDockId);
}
