#include "stream-monitor.hpp"

#include "audio/sample-tap.hpp"

#include <algorithm>

namespace {

// A tick this long after the previous one follows a stall: no decay on it.
constexpr double kMaxTickSeconds = 1.0;
// The clip light stays on until audio has been absent this long.
constexpr int64_t kClipReleaseMs = 1200;
// The waiting message returns this long after the last audio.
constexpr int64_t kWaitingAfterMs = 700;

} // namespace

StreamMonitor::StreamMonitor(SampleTap *t) : tap(t), sampleRate(SampleTap::kDefaultRateHz), ring(kRingSize, 0.0f) {}

void StreamMonitor::reset()
{
	history.clear();
	current.peakDb = current.rmsDb = meter::kSilenceDb;
	current.clipping = false;
	current.spectrumReady = false;
	current.dominantHz = 0.0f;
	current.dominantDb = meter::kSilenceDb;
	current.waveform.clear();
	current.changed = wholePlot();
	std::fill(ring.begin(), ring.end(), 0.0f);
	ringPos = 0;
	ringFill = 0;
	analyser.reset();
	spectrumColumns.clear();
	owedFallSeconds = 0.0;
	ringFresh = false;
	silentRun = 0;
}

bool StreamMonitor::setMode(ViewMode m)
{
	if (m == current.mode)
		return false;
	current.mode = m;
	reset();
	return true;
}

void StreamMonitor::setColumns(int n)
{
	n = std::max(n, 1);
	const bool rescaled = history.updateColumnWidth(n, sampleRate, kHistorySeconds);
	if (n == columnCount && !rescaled)
		return;
	columnCount = n;
	takeColumns();
	takeWaveform();
}

const MonitorSnapshot &StreamMonitor::tick(TickTime now, int plotColumns, bool shown)
{
	current.changed = {};
	setColumns(plotColumns);
	const double dt = timeStep(now.monotonicMs);
	if (tap) {
		drain(now, dt);
		if (current.changed.empty())
			current.changed = analyseIfDue(shown);
		fallAndRelease(dt, now.wallMs);
	}
	current.waiting = now.wallMs - lastAudioMs > kWaitingAfterMs;
	return current;
}

void StreamMonitor::drain(TickTime now, double dt)
{
	bool drainedStereo = false;
	tap->drain(drainLeft, drainRight, drainedStereo);
	sampleRate = tap->sampleRate();
	if (drainLeft.empty())
		return;
	measure(drainedStereo);
	if (feedDisplay(dt))
		current.changed = wholePlot();
	lastAudioMs = now.wallMs;
}

double StreamMonitor::timeStep(int64_t nowMs)
{
	double dt = double(nowMs - lastTickMs) / 1000.0;
	lastTickMs = nowMs;
	return dt < 0.0 || dt > kMaxTickSeconds ? 0.0 : dt;
}

void StreamMonitor::measure(bool drainedStereo)
{
	current.stereo = drainedStereo;
	const meter::BlockLevels block = meter::measureBlock(drainLeft, drainRight, drainedStereo);
	// A hold: quieter blocks never lower the levels, only the fall does.
	current.peakDb = std::max(current.peakDb, block.peakDb);
	current.rmsDb = std::max(current.rmsDb, block.rmsDb);
	if (block.peak >= meter::kClipPeak)
		current.clipping = true;
}

bool StreamMonitor::feedDisplay(double dt)
{
	if (current.mode == ViewMode::Waveform) {
		const bool rescaled = history.updateColumnWidth(columnCount, sampleRate, kHistorySeconds);
		const bool changed = history.push(drainLeft, drainRight, columnCount) || rescaled;
		if (changed)
			takeWaveform();
		return changed;
	}
	feedRing();
	owedFallSeconds += dt;
	ringFresh = true;
	return false;
}

// The spectrum analyses a mono mix of whatever both channels delivered.
void StreamMonitor::feedRing()
{
	for (size_t i = 0; i < drainLeft.size(); i++) {
		float s = drainLeft[i];
		if (i < drainRight.size())
			s = (s + drainRight[i]) * 0.5f;
		ring[size_t(ringPos)] = s;
		ringPos = (ringPos + 1) % kRingSize;
		silentRun = s == 0.0f ? std::min(silentRun + 1, kRingSize) : 0;
	}
	ringFill = std::min<uint64_t>(ringFill + drainLeft.size(), kRingSize);
}

// Once per tick that brought audio, as long as someone sees the view; a view
// shown again analyses what came while it was hidden at its next tick, with
// the fall of every tick it skipped. A new dominant frequency alone changes
// no column; the view sees it in the read-out and the marker.
ColumnSpan StreamMonitor::analyseIfDue(bool shown)
{
	if (!ringFresh || !shown)
		return {};
	ringFresh = false;
	const double fallSeconds = owedFallSeconds;
	owedFallSeconds = 0.0;
	if (ringFill < uint64_t(kRingSize))
		return {};
	const bool first = !current.spectrumReady;
	current.spectrumReady = true;
	if (!analyser.analyse(ring, ringPos, sampleRate, fallSeconds, silentRun == kRingSize) && !first)
		return {};
	current.dominantHz = analyser.dominantHz;
	current.dominantDb = analyser.dominantDb;
	const bool relaid = first || !spectrumColumns.laidOutFor(columnCount, sampleRate);
	const ColumnSpan changed = spectrumColumns.update(analyser.levels(), columnCount, sampleRate);
	current.columns = spectrumColumns.levels();
	return relaid ? wholePlot() : changed;
}

void StreamMonitor::fallAndRelease(double dt, int64_t wallMs)
{
	if (dt <= 0.0)
		return;
	current.peakDb = meter::fall(current.peakDb, meter::kPeakFallDbPerSecond, dt);
	current.rmsDb = meter::fall(current.rmsDb, meter::kRmsFallDbPerSecond, dt);
	if (current.clipping && wallMs - lastAudioMs > kClipReleaseMs)
		current.clipping = false;
}

// The analysed levels laid out anew for the plot's width.
void StreamMonitor::takeColumns()
{
	if (!current.spectrumReady)
		return;
	spectrumColumns.update(analyser.levels(), columnCount, sampleRate);
	current.columns = spectrumColumns.levels();
}

void StreamMonitor::takeWaveform()
{
	const size_t n = std::min(history.size(), size_t(columnCount));
	current.waveform.resize(n);
	const size_t first = history.size() - n;
	for (size_t i = 0; i < n; i++)
		current.waveform[i] = history.at(first + i);
}
