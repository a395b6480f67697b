#pragma once

#include "dock/tovrin.hpp"

#include <QTimer>

#include <vector>

// The tests' window into the panel's private state.
struct TovrinTestAccess {
	static SampleTap &inputTap(Tovrin &p) { return p.inputFeed.inputTap; }
	static SampleTap &masterTap(Tovrin &p) { return p.masterFeed.masterTap; }
	static MasterFeed &masterFeed(Tovrin &p) { return p.masterFeed; }
	static bool closing(const Tovrin &p) { return p.binding.shuttingDown(); }
	static obs_source_t *boundSource(const Tovrin &p) { return p.boundSource(); }
	static const QString &boundUuid(const Tovrin &p) { return p.boundUuid; }
	static QTimer *tickTimer(const Tovrin &p) { return p.tickTimer; }
	static QTimer *slowTimer(const Tovrin &p) { return p.slowTimer; }
	static QComboBox *sourceCombo(const Tovrin &p) { return p.sourceCombo; }
	static QComboBox *modeCombo(const Tovrin &p) { return p.modeCombo; }
	static QToolButton *refreshButton(const Tovrin &p) { return p.refreshButton; }
	static QToolButton *monitorButton(const Tovrin &p) { return p.monitorButton; }
	static QToolButton *muteButton(const Tovrin &p) { return p.muteButton; }
	static QSlider *volumeSlider(const Tovrin &p) { return p.volumeSlider; }
	static QLabel *volumeLabel(const Tovrin &p) { return p.volumeLabel; }
	static QToolButton *filtersButton(const Tovrin &p) { return p.filtersButton; }
	static QLabel *footerLabel(const Tovrin &p) { return p.footerLabel; }
	static WaveformView *inputView(const Tovrin &p) { return p.inputView; }
	static WaveformView *masterView(const Tovrin &p) { return p.masterView; }
	static bool restorePending(const Tovrin &p) { return p.binding.restorePending(); }
	static void refreshSources(Tovrin &p, bool allowRestore) { p.refreshSources(allowRestore); }
	static void slowTick(Tovrin &p) { p.onSlowTimer(); }
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
