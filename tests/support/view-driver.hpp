#pragma once

#include "audio/sample-tap.hpp"
#include "monitor/stream-monitor.hpp"
#include "support/pixel-probe.hpp"
#include "view/waveform-view.hpp"

#include <cmath>

// Drives a view as the panel does: a tap and its monitor on the test's own
// clocks, and the snapshot the view is shown, which a tick replaces and a test
// may also write itself.
struct ViewDriver {
	explicit ViewDriver(WaveformView &v) : view(v) { snapshot.waiting = false; }

	// The next tick comes this long after the previous one (0: no time).
	void tickAfter(double seconds)
	{
		const int64_t step = std::llround(seconds * 1000.0);
		now.monotonicMs += step;
		now.wallMs += step;
		snapshot = monitor.tick(now, view.plotColumns(), view.isVisible());
		view.setSnapshot(snapshot);
	}
	void setMode(ViewMode mode)
	{
		monitor.setMode(mode);
		snapshot = monitor.snapshot();
		view.setSnapshot(snapshot);
	}
	void push(const std::vector<float> &left, const std::vector<float> &right = {})
	{
		const float *planes[] = {left.data(), right.empty() ? nullptr : right.data()};
		tap.push(planes, right.empty() ? 1 : 2, uint32_t(left.size()), 1.0f);
	}
	QImage paint()
	{
		view.setSnapshot(snapshot);
		return probe::render(view);
	}

	WaveformView &view;
	SampleTap tap;
	StreamMonitor monitor{&tap};
	TickTime now{0, 1700000000000};
	MonitorSnapshot snapshot;
};
