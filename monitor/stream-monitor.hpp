#pragma once

#include "level-meter.hpp"
#include "spectrum-analyser.hpp"
#include "spectrum-columns.hpp"
#include "waveform-history.hpp"

#include <cstdint>
#include <vector>

class SampleTap;

// Numbered as the profile stores "DisplayMode" and the mode list counts them.
enum class ViewMode : int32_t {
	Spectrum = 0,
	Waveform = 1,
};

// The two clocks of one tick, in milliseconds: a monotonic one for the time
// step and the wall clock that audio freshness is measured in.
struct TickTime {
	int64_t monotonicMs = 0;
	int64_t wallMs = 0;
};

// Everything a view draws of one stream after a tick, as plain values: the
// view is a function of it and of its own look.
struct MonitorSnapshot {
	ViewMode mode = ViewMode::Spectrum;
	float peakDb = meter::kSilenceDb; // held, falling
	float rmsDb = meter::kSilenceDb;
	bool clipping = false; // latched until audio has been absent a while
	bool waiting = true;   // no audio for a while: the waiting message shows
	bool stereo = false;   // the last audio was two-channel
	// The spectrum, once a full ring was analysed: its level under each of
	// the plot's columns and the strongest frequency.
	bool spectrumReady = false;
	float dominantHz = 0.0f;
	float dominantDb = meter::kSilenceDb;
	std::vector<float> columns;
	// The waveform: the newest columns, oldest first, no more than the plot's.
	std::vector<WaveColumn> waveform;
	// The plot's columns whose picture changed since the previous snapshot.
	ColumnSpan changed;
};

// The monitoring of one audio stream, without any widget: drains its tap,
// meters the audio with a falling hold and a clip latch, keeps what the
// display mode draws (the spectrum's ring and analysis, or the waveform's
// history) and hands it out as a snapshot after every tick.
class StreamMonitor {
public:
	static constexpr int kRingSize = SpectrumAnalyser::kSize; // samples the spectrum analyses at once
	static constexpr double kHistorySeconds = 3.0;            // audio across the waveform's width

	explicit StreamMonitor(SampleTap *tap = nullptr);

	void reset();
	// False, and nothing touched, when m is the current mode.
	bool setMode(ViewMode m);
	// The plot's width in columns: the spectrum's columns and the waveform's
	// time scale follow it; a new width clears the waveform. A view repaints
	// whole at a new width, so this reports no change.
	void setColumns(int n);

	// One display step. shown: someone sees the picture; while nobody does,
	// the audio is still taken in but not analysed.
	const MonitorSnapshot &tick(TickTime now, int plotColumns, bool shown);
	const MonitorSnapshot &snapshot() const { return current; }

private:
	double timeStep(int64_t nowMs);
	void drain(TickTime now, double dt);
	void measure(bool drainedStereo);
	void feedRing();
	bool feedDisplay(double dt);
	ColumnSpan analyseIfDue(bool shown);
	void fallAndRelease(double dt, int64_t wallMs);
	void takeColumns();
	void takeWaveform();
	ColumnSpan wholePlot() const { return {0, columnCount - 1}; }

	SampleTap *tap;
	MonitorSnapshot current;
	int columnCount = 1;
	uint32_t sampleRate;
	std::vector<float> drainLeft;
	std::vector<float> drainRight;
	std::vector<float> ring;
	int ringPos = 0;
	uint64_t ringFill = 0;
	SpectrumAnalyser analyser;
	SpectrumColumns spectrumColumns;
	WaveformHistory history;
	int64_t lastAudioMs = 0; // wall clock of the last tick that drained audio
	int64_t lastTickMs = 0;  // monotonic clock of the previous tick
	// Analysis waits while nobody sees the view: the fall it owes and whether
	// the ring took samples since the last analysis.
	double owedFallSeconds = 0.0;
	bool ringFresh = false;
	// Exact zeros written in a row: a ring of them needs no transform.
	int silentRun = 0;
};
