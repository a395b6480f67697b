#pragma once

#include "audio/audio-callbacks.hpp"
#include "audio/sample-tap.hpp"

#include <QString>
#include <QWidget>

#include <atomic>

class QTimer;
struct obs_weak_source;
typedef struct obs_weak_source obs_weak_source_t;

// The dock's panel: two live views of the chosen source and the master mix,
// fed by OBS audio threads through two sample taps.
class Tovrin : public QWidget {
	Q_OBJECT

public:
	explicit Tovrin(QWidget *parent = nullptr);
	~Tovrin() override;

	// Idempotent: stops the timers and detaches both audio callbacks, so that
	// the panel is safe to destroy while OBS audio threads keep running.
	void shutdown();

	void bindSource(obs_source_t *source);
	void unbindSource();

private slots:
	void onTick();
	void onSlowTimer();

private:
	friend void onMasterAudio(void *param, size_t mix, struct audio_data *data);
	friend void onSourceAudio(void *param, obs_source_t *source, const struct audio_data *data, bool muted);
	friend struct TovrinTestAccess;

	static uint32_t outputSampleRate();
	void startTimers();

	SampleTap inputTap;
	SampleTap masterTap;
	QTimer *tickTimer = nullptr;
	QTimer *slowTimer = nullptr;
	obs_weak_source_t *weakSource = nullptr;
	// Read by the capture callback without a lock: it is set before the
	// callback is registered and cleared only after it was removed.
	obs_source_t *boundSource = nullptr;
	QString boundUuid;
	bool updatingControls = false;
	// Read by the audio callbacks; written once, on the UI thread.
	std::atomic<bool> closing{false};
	bool restorePending = true;
};
