#pragma once

#include "view/waveform-view.hpp"

#include <QDateTime>

// The tests' window into a view. Time is driven by moving the view's memory of
// the past (its previous tick, its last audio), so the view itself keeps
// reading the real clocks.
struct WaveformViewTestAccess {
	WaveformView &v;

	float &peakDb() { return v.peakDb; }
	float &rmsDb() { return v.rmsDb; }
	bool &clipping() { return v.clipping; }
	bool &stereo() { return v.stereo; }
	float &dominantHz() { return v.analyser.dominantHz; }
	float &dominantDb() { return v.analyser.dominantDb; }
	const std::vector<float> &spectrumDb() const { return v.analyser.levels(); }
	const WaveformHistory &history() const { return v.history; }
	uint32_t sampleRate() const { return v.sampleRate; }
	ViewMode mode() const { return v.mode; }
	const std::vector<float> &ring() const { return v.ring; }
	int ringPos() const { return v.ringPos; }
	uint64_t ringFill() const { return v.ringFill; }
	qint64 lastAudioMs() const { return v.lastAudioMs; }
	const QString &title() const { return v.title; }
	const QColor &accent() const { return v.accentColor; }
	QString readout() const { return v.readoutText(); }
	const QImage &backdrop() { return v.backdrop(); }

	// The next tick sees dt seconds since the previous one (0: no time at all).
	void tickAfter(double seconds)
	{
		v.lastTickMs = v.clock.elapsed() - qint64(seconds * 1000.0 + 0.5);
		if (seconds == 0.0)
			v.lastTickMs += 60000; // a negative step counts as none
		v.tick();
	}
	// The last audio arrived this long ago.
	void audioAgo(qint64 ms) { v.lastAudioMs = QDateTime::currentMSecsSinceEpoch() - ms; }
	void neverHeardAudio() { v.lastAudioMs = 0; }
};
