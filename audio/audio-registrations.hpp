#pragma once

#include <obs.h>

// libobs's two audio registrations, each held until removed or until its
// holder ends, and never removed twice. libobs's removals wait for a call that
// is running, so once remove returns the callback runs no more.

// A raw-audio callback on one of OBS's mixes.
class RawAudioRegistration {
public:
	RawAudioRegistration() = default;
	RawAudioRegistration(const RawAudioRegistration &) = delete;
	RawAudioRegistration &operator=(const RawAudioRegistration &) = delete;
	~RawAudioRegistration() { remove(); }

	void add(size_t mixIndex, const audio_convert_info &conversion, audio_output_callback_t cb, void *data)
	{
		remove();
		obs_add_raw_audio_callback(mixIndex, &conversion, cb, data);
		mix = mixIndex;
		callback = cb;
		param = data;
	}

	void remove()
	{
		if (!callback)
			return;
		obs_remove_raw_audio_callback(mix, callback, param);
		callback = nullptr;
	}

private:
	size_t mix = 0;
	audio_output_callback_t callback = nullptr;
	void *param = nullptr;
};

// An audio capture callback on one source. The source is not held: the
// caller's own reference must outlive the registration.
class CaptureRegistration {
public:
	CaptureRegistration() = default;
	CaptureRegistration(const CaptureRegistration &) = delete;
	CaptureRegistration &operator=(const CaptureRegistration &) = delete;
	~CaptureRegistration() { remove(); }

	void add(obs_source_t *on, obs_source_audio_capture_t cb, void *data)
	{
		remove();
		obs_source_add_audio_capture_callback(on, cb, data);
		source = on;
		callback = cb;
		param = data;
	}

	void remove()
	{
		if (!source)
			return;
		obs_source_remove_audio_capture_callback(source, callback, param);
		source = nullptr;
	}

private:
	obs_source_t *source = nullptr;
	obs_source_audio_capture_t callback = nullptr;
	void *param = nullptr;
};
