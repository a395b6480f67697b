#pragma once

#include "view/waveform-view.hpp"

#include <QDateTime>
#include <QPainter>

// The tests' window into a view. Time is driven by moving the view's memory of
// the past (its previous tick, its last audio), so the view itself keeps
// reading the real clocks.
struct WaveformViewTestAccess {
	WaveformView &v;

	StreamMonitor &monitor() { return v.monitor; }
	float &peakDb() { return v.monitor.peakDb; }
	float &rmsDb() { return v.monitor.rmsDb; }
	bool &clipping() { return v.monitor.clipping; }
	bool &stereo() { return v.monitor.stereo; }
	float &dominantHz() { return v.monitor.analyser.dominantHz; }
	float &dominantDb() { return v.monitor.analyser.dominantDb; }
	const std::vector<float> &spectrumDb() const { return v.monitor.analyser.levels(); }
	const WaveformHistory &history() const { return v.monitor.history; }
	uint32_t sampleRate() const { return v.monitor.sampleRate; }
	ViewMode mode() const { return v.monitor.mode; }
	const std::vector<float> &ring() const { return v.monitor.ring; }
	int ringPos() const { return v.monitor.ringPos; }
	uint64_t ringFill() const { return v.monitor.ringFill; }
	qint64 lastAudioMs() const { return v.monitor.lastAudioMs; }
	const QString &title() const { return v.title; }
	const QColor &accent() const { return v.accentColor; }
	QString readout() const { return v.readoutText(); }
	const QImage &backdrop() { return v.backdrop(); }
	void paintReadout(QPainter &painter) { v.paintReadout(painter, v.readoutText()); }

	// The next tick sees dt seconds since the previous one (0: no time at all).
	void tickAfter(double seconds)
	{
		v.monitor.lastTickMs = v.clock.elapsed() - qint64(seconds * 1000.0 + 0.5);
		if (seconds == 0.0)
			v.monitor.lastTickMs += 60000; // a negative step counts as none
		v.tick();
	}
	// The last audio arrived this long ago.
	void audioAgo(qint64 ms) { v.monitor.lastAudioMs = QDateTime::currentMSecsSinceEpoch() - ms; }
	void neverHeardAudio() { v.monitor.lastAudioMs = 0; }
};
