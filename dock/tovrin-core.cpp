#include "tovrin.hpp"

#include "view/waveform-view.hpp"

#include <obs.h>

#include <QDateTime>
#include <QTimer>

namespace {

constexpr int kTickIntervalMs = 33;  // about 30 repaints a second per view
constexpr int kSlowIntervalMs = 500; // how soon changes made elsewhere in OBS show

} // namespace

Tovrin::Tovrin(QWidget *parent) : QWidget(parent)
{
	setObjectName("tovrin-content");
	buildUi();
	clock.start();
	restoreDisplayMode();

	const uint32_t rate = outputSampleRate();
	inputFeed.inputTap.setSampleRate(rate);
	masterFeed.attach(rate);

	syncControls();
	refreshSources(true);
	startTimers();
	frontendEvents.add(onFrontendEvent, this);
}

Tovrin::~Tovrin()
{
	shutdown();
}

uint32_t Tovrin::outputSampleRate()
{
	obs_audio_info info = {};
	if (obs_get_audio_info(&info) && info.samples_per_sec)
		return info.samples_per_sec;
	return SampleTap::kDefaultRateHz;
}

void Tovrin::startTimers()
{
	tickTimer = new QTimer(this);
	tickTimer->setObjectName(QStringLiteral("tovrin-tick"));
	tickTimer->setInterval(kTickIntervalMs);
	connect(tickTimer, &QTimer::timeout, this, &Tovrin::onTick);
	tickTimer->start();

	slowTimer = new QTimer(this);
	slowTimer->setObjectName(QStringLiteral("tovrin-slow"));
	slowTimer->setInterval(kSlowIntervalMs);
	connect(slowTimer, &QTimer::timeout, this, &Tovrin::onSlowTimer);
	slowTimer->start();
}

// Each feed closes itself safely for its audio thread (libobs's removals wait
// for a running call); the panel's part is to close them first, before it
// resets its own side. Every step is a no-op the second time.
void Tovrin::shutdown()
{
	binding.shutDown();

	if (tickTimer)
		tickTimer->stop();
	if (slowTimer)
		slowTimer->stop();

	frontendEvents.remove();
	inputFeed.close();
	masterFeed.close();
	unbindSource();
}

// One tick's data runs one way: each feed's tap into its monitor, the
// monitor's snapshot to its view, the view to the pixels that changed.
void Tovrin::onTick()
{
	if (binding.shuttingDown())
		return;
	const TickTime now{clock.elapsed(), QDateTime::currentMSecsSinceEpoch()};
	inputView->setSnapshot(inputMonitor.tick(now, inputView->plotColumns(), inputView->isVisible()));
	masterView->setSnapshot(masterMonitor.tick(now, masterView->plotColumns(), masterView->isVisible()));
}

// Between ticks: a reset, a mode or a width shows at once.
void Tovrin::showNow(StreamMonitor &monitor, WaveformView *view)
{
	if (!view)
		return;
	monitor.setColumns(view->plotColumns());
	view->setSnapshot(monitor.snapshot());
}

// Every 500 ms: follow what changed elsewhere in OBS.
void Tovrin::onSlowTimer()
{
	if (binding.shuttingDown())
		return;
	// Whether to bind is read before the refresh: a source lost in it is
	// replaced at the next slow tick.
	refreshSources(binding.restorePending());
	syncControls();
	updateInputTitle();
}
