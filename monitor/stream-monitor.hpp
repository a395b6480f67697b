#pragma once

#include "level-meter.hpp"
#include "spectrum-analyser.hpp"
#include "spectrum-columns.hpp"
#include "waveform-history.hpp"

#include <cstdint>
#include <vector>

class SampleTap;

enum class ViewMode : int32_t {
	Waveform = 0,
	Spectrum = 1,
};

// The two clocks of one tick, in milliseconds: a monotonic one for the time
// step and the wall clock that audio freshness is measured in.
struct TickTime {
	int64_t monotonicMs = 0;
	int64_t wallMs = 0;
};

// The monitoring of one audio stream, without any widget: drains its tap,
// meters the audio with a falling hold and a clip latch, and keeps what the
// display mode draws (the spectrum's ring and analysis, or the waveform's
// history). A view shows it; only the monitor writes its state.
class StreamMonitor {
public:
	static constexpr int kRingSize = SpectrumAnalyser::kSize; // samples the spectrum analyses at once
	static constexpr double kHistorySeconds = 3.0;            // audio across the waveform's width

	StreamMonitor();

	void attachTap(SampleTap *t);
	void reset();
	// False, and nothing touched, when m is the current mode.
	bool setMode(ViewMode m);

	// One display step for a plot plotWidth pixels wide. shown: someone sees
	// the picture; while nobody does, the audio is still taken in but not
	// analysed. Returns the plot's columns whose picture changed.
	ColumnSpan tick(TickTime now, int plotWidth, bool shown);
	// The waveform's time scale for that width; any change clears it.
	bool updateColumnWidth(int plotWidth);
	// The spectrum's level under each of n pixel columns.
	const std::vector<float> &spectrumColumns(int n);

	// The state a view draws.
	SampleTap *tap = nullptr;
	ViewMode mode = ViewMode::Spectrum;
	WaveformHistory history;
	std::vector<float> drainLeft;
	std::vector<float> drainRight;
	bool stereo = false; // the last non-empty drain was two-channel
	std::vector<float> ring;
	int ringPos = 0;
	uint64_t ringFill = 0;
	SpectrumAnalyser analyser;
	uint32_t sampleRate = 48000;
	float peakDb = meter::kSilenceDb; // displayed: held, falling
	float rmsDb = meter::kSilenceDb;
	bool clipping = false;
	int64_t lastAudioMs = 0; // wall clock of the last tick that drained audio
	int64_t lastTickMs = 0;  // monotonic clock of the previous tick

private:
	double timeStep(int64_t nowMs);
	void measure(bool drainedStereo);
	void feedRing();
	bool feedDisplay(int plotWidth, double dt);
	ColumnSpan analyseIfDue(bool shown, int plotWidth);
	void fallAndRelease(double dt, int64_t wallMs);

	SpectrumColumns columns; // the analysed levels as the plot's columns
	// Analysis waits while nobody sees the view: the fall it owes and whether
	// the ring took samples since the last analysis.
	double owedFallSeconds = 0.0;
	bool ringFresh = false;
	// Exact zeros written in a row: a ring of them needs no transform.
	int silentRun = 0;
};
