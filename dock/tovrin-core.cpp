#include "tovrin.hpp"

#include "view/waveform-view.hpp"

#include <obs.h>

#include <QTimer>

namespace {

constexpr int kTickIntervalMs = 33;  // about 30 repaints a second per view
constexpr int kSlowIntervalMs = 500; // how soon changes made elsewhere in OBS show

} // namespace

Tovrin::Tovrin(QWidget *parent) : QWidget(parent)
{
	setObjectName("tovrin-content");
	buildUi();
	inputView->attachTap(&inputFeed.inputTap);
	masterView->attachTap(&masterFeed.masterTap);
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
	tickTimer->setInterval(kTickIntervalMs);
	connect(tickTimer, &QTimer::timeout, this, &Tovrin::onTick);
	tickTimer->start();

	slowTimer = new QTimer(this);
	slowTimer->setInterval(kSlowIntervalMs);
	connect(slowTimer, &QTimer::timeout, this, &Tovrin::onSlowTimer);
	slowTimer->start();
}

// Each feed closes itself safely for its audio thread (libobs's removals wait
// for a running call); the panel's part is to close them before it goes. Every
// step is a no-op the second time.
void Tovrin::shutdown()
{
	binding.shutDown();

	if (tickTimer)
		tickTimer->stop();
	if (slowTimer)
		slowTimer->stop();

	frontendEvents.remove();
	unbindSource();
	inputFeed.close();
	masterFeed.close();
}

void Tovrin::onTick()
{
	if (binding.shuttingDown())
		return;
	if (inputView)
		inputView->tick();
	if (masterView)
		masterView->tick();
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
