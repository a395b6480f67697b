#pragma once

#include "audio-registrations.hpp"
#include "held-ref.hpp"
#include "sample-tap.hpp"

#include <atomic>
#include <cstdint>

// The two roads from OBS's audio threads to the UI thread. A feed owns its
// tap, its libobs registration and all its callback reads; the callbacks are
// handed the feed, nothing else. Everything but the callbacks runs on the UI
// thread.

// The master mix: a raw-audio callback on OBS's mix 0, converted to planar
// float stereo at the output rate.
class MasterFeed {
public:
	SampleTap masterTap;

	void attach(uint32_t rate);
	// Once closed, the callback stores nothing and, once removed, runs no more.
	void close();

private:
	friend void onMasterAudio(void *param, size_t mix, struct audio_data *data);
	std::atomic<bool> closing{false};
	RawAudioRegistration registration; // after the tap: it goes first
};

// The chosen source: the binding's one strong reference, and the capture
// callback on it, which reads the source's fader and mute.
class SourceFeed {
public:
	SampleTap inputTap;

	// Takes a reference of its own; false, and nothing bound, when the
	// source is being destroyed. Samples pushed before the caller was ready
	// are dropped.
	bool bind(obs_source_t *source);
	void unbind();
	void close();
	obs_source_t *boundSource() const { return bound; }

private:
	friend void onSourceAudio(void *param, obs_source_t *source, const struct audio_data *data, bool muted);
	std::atomic<bool> closing{false};
	// Read by the callback without a lock: set before the callback is
	// registered and cleared only after it was removed.
	HeldSource bound;
	CaptureRegistration capture; // after the reference: it goes first
};
