#include "tovrin.hpp"

#include "view/waveform-view.hpp"

#include <obs.h>

#include <QTimer>

namespace {

constexpr int kTickIntervalMs = 33;  // about 30 repaints a second per view
constexpr int kSlowIntervalMs = 500; // how soon changes made elsewhere in OBS show
constexpr size_t kMasterMix = 0;

} // namespace

Tovrin::Tovrin(QWidget *parent) : QWidget(parent)
{
	setObjectName("tovrin-content");
	buildUi();
	inputView->attachTap(&inputTap);
	masterView->attachTap(&masterTap);
	restoreDisplayMode();

	const uint32_t rate = outputSampleRate();
	inputTap.setSampleRate(rate);
	masterTap.setSampleRate(rate);
	attachMasterFeed(rate);

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

// libobs converts mix 0 for us: planar float stereo at the output rate.
void Tovrin::attachMasterFeed(uint32_t rate)
{
	audio_convert_info conversion = {};
	conversion.samples_per_sec = rate;
	conversion.format = AUDIO_FORMAT_FLOAT_PLANAR;
	conversion.speakers = SPEAKERS_STEREO;
	conversion.allow_clipping = true;
	masterFeed.add(kMasterMix, conversion, onMasterAudio, this);
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

// The order is what keeps the audio threads safe: closing first, the capture
// callback removed before the source is released, the master callback removed
// before the taps can be destroyed. libobs's removals wait for a running call.
void Tovrin::shutdown()
{
	if (closing)
		return;
	closing = true;
	binding.shutDown();

	if (tickTimer)
		tickTimer->stop();
	if (slowTimer)
		slowTimer->stop();

	frontendEvents.remove();
	unbindSource();
	masterFeed.remove();
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
