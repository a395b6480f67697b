#pragma once

#include "dock/tovrin.hpp"

#include <QTimer>

#include <vector>

// The tests' window into the panel's private state.
struct TovrinTestAccess {
	static SampleTap &inputTap(Tovrin &p) { return p.inputTap; }
	static SampleTap &masterTap(Tovrin &p) { return p.masterTap; }
	static bool closing(const Tovrin &p) { return p.closing; }
	static obs_source_t *boundSource(const Tovrin &p) { return p.boundSource; }
	static obs_weak_source_t *weakSource(const Tovrin &p) { return p.weakSource; }
	static const QString &boundUuid(const Tovrin &p) { return p.boundUuid; }
	static QTimer *tickTimer(const Tovrin &p) { return p.tickTimer; }
	static QTimer *slowTimer(const Tovrin &p) { return p.slowTimer; }
};

struct Drained {
	std::vector<float> left, right;
	bool stereo = false;
};

inline Drained drainAll(SampleTap &tap)
{
	Drained d;
	tap.drain(d.left, d.right, d.stereo);
	return d;
}
