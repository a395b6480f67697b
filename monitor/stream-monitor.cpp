#include "stream-monitor.hpp"

#include "audio/sample-tap.hpp"

#include <algorithm>

namespace {

// A tick this long after the previous one follows a stall: no decay on it.
constexpr double kMaxTickSeconds = 1.0;
// The clip light stays on until audio has been absent this long.
constexpr int64_t kClipReleaseMs = 1200;

} // namespace

StreamMonitor::StreamMonitor() : ring(kRingSize, 0.0f) {}

void StreamMonitor::attachTap(SampleTap *t)
{
	tap = t;
	reset();
}

void StreamMonitor::reset()
{
	history.clear();
	peakDb = rmsDb = meter::kSilenceDb;
	clipping = false;
	std::fill(ring.begin(), ring.end(), 0.0f);
	ringPos = 0;
	ringFill = 0;
	analyser.reset();
	columns.clear();
	owedFallSeconds = 0.0;
	ringFresh = false;
	silentRun = 0;
}

bool StreamMonitor::setMode(ViewMode m)
{
	if (m == mode)
		return false;
	mode = m;
	reset();
	return true;
}

ColumnSpan StreamMonitor::tick(TickTime now, int plotWidth, bool shown)
{
	const double dt = timeStep(now.monotonicMs);
	if (!tap)
		return {};
	bool drainedStereo = false;
	tap->drain(drainLeft, drainRight, drainedStereo);
	const uint32_t rate = tap->sampleRate();
	sampleRate = rate ? rate : SampleTap::kDefaultRateHz;
	ColumnSpan changed;
	if (!drainLeft.empty()) {
		measure(drainedStereo);
		if (feedDisplay(plotWidth, dt))
			changed = {0, plotWidth - 1};
		lastAudioMs = now.wallMs;
	}
	if (changed.empty())
		changed = analyseIfDue(shown, plotWidth);
	fallAndRelease(dt, now.wallMs);
	return changed;
}

double StreamMonitor::timeStep(int64_t nowMs)
{
	double dt = double(nowMs - lastTickMs) / 1000.0;
	lastTickMs = nowMs;
	return dt < 0.0 || dt > kMaxTickSeconds ? 0.0 : dt;
}

void StreamMonitor::measure(bool drainedStereo)
{
	stereo = drainedStereo;
	const meter::BlockLevels block = meter::measureBlock(drainLeft, drainRight, drainedStereo);
	// A hold: quieter blocks never lower the levels, only the fall does.
	peakDb = std::max(peakDb, block.peakDb);
	rmsDb = std::max(rmsDb, block.rmsDb);
	if (block.peak >= meter::kClipPeak)
		clipping = true;
}

bool StreamMonitor::feedDisplay(int plotWidth, double dt)
{
	if (mode == ViewMode::Waveform) {
		const bool rescaled = updateColumnWidth(plotWidth);
		return history.push(drainLeft, drainRight, plotWidth) || rescaled;
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
ColumnSpan StreamMonitor::analyseIfDue(bool shown, int plotWidth)
{
	if (!ringFresh || !shown)
		return {};
	ringFresh = false;
	const double fallSeconds = owedFallSeconds;
	owedFallSeconds = 0.0;
	if (ringFill < uint64_t(kRingSize) ||
	    !analyser.analyse(ring, ringPos, sampleRate, fallSeconds, silentRun == kRingSize))
		return {};
	return columns.update(analyser.levels(), std::max(plotWidth, 1), sampleRate);
}

const std::vector<float> &StreamMonitor::spectrumColumns(int n)
{
	if (!columns.laidOutFor(n, sampleRate))
		columns.update(analyser.levels(), n, sampleRate);
	return columns.levels();
}

void StreamMonitor::fallAndRelease(double dt, int64_t wallMs)
{
	if (dt <= 0.0)
		return;
	peakDb = meter::fall(peakDb, meter::kPeakFallDbPerSecond, dt);
	rmsDb = meter::fall(rmsDb, meter::kRmsFallDbPerSecond, dt);
	if (clipping && wallMs - lastAudioMs > kClipReleaseMs)
		clipping = false;
}

bool StreamMonitor::updateColumnWidth(int plotWidth)
{
	return history.updateColumnWidth(plotWidth, sampleRate, kHistorySeconds);
}
