#pragma once

#include "dock/tovrin.hpp"
#include "support/libobs-spy.hpp"
#include "view/waveform-view.hpp"

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <vector>

// The panel's parts as a test reaches them: its widgets and timers by their
// names, its slow tick and refresh as the timer and the button set them off,
// its master feed as libobs got it.
struct TovrinTestAccess {
	template<typename T> static T *named(const Tovrin &p, const char *name)
	{
		return p.findChild<T *>(QLatin1String(name));
	}
	static SampleTap &inputTap(Tovrin &p) { return p.inputTap(); }
	static SampleTap &masterTap(Tovrin &p) { return p.masterTap(); }
	static MasterFeed &masterFeed(Tovrin &) { return *static_cast<MasterFeed *>(spy::liveRawParam()); }
	static obs_source_t *boundSource(const Tovrin &p) { return p.boundSource(); }
	static QTimer *tickTimer(const Tovrin &p) { return named<QTimer>(p, "tovrin-tick"); }
	static QTimer *slowTimer(const Tovrin &p) { return named<QTimer>(p, "tovrin-slow"); }
	static QComboBox *sourceCombo(const Tovrin &p) { return named<QComboBox>(p, "tovrin-source"); }
	static QComboBox *modeCombo(const Tovrin &p) { return named<QComboBox>(p, "tovrin-mode"); }
	static QToolButton *refreshButton(const Tovrin &p) { return named<QToolButton>(p, "tovrin-refresh"); }
	static QToolButton *monitorButton(const Tovrin &p) { return named<QToolButton>(p, "tovrin-monitor"); }
	static QToolButton *muteButton(const Tovrin &p) { return named<QToolButton>(p, "tovrin-mute"); }
	static QSlider *volumeSlider(const Tovrin &p) { return named<QSlider>(p, "tovrin-volume"); }
	static QLabel *volumeLabel(const Tovrin &p) { return named<QLabel>(p, "tovrin-volume-label"); }
	static QToolButton *filtersButton(const Tovrin &p) { return named<QToolButton>(p, "tovrin-filters"); }
	static QLabel *footerLabel(const Tovrin &p) { return named<QLabel>(p, "tovrin-footer"); }
	static WaveformView *inputView(const Tovrin &p) { return named<WaveformView>(p, "tovrin-input-view"); }
	static WaveformView *masterView(const Tovrin &p) { return named<WaveformView>(p, "tovrin-master-view"); }
	static void slowTick(Tovrin &p) { QMetaObject::invokeMethod(&p, "onSlowTimer", Qt::DirectConnection); }
	static void pressRefresh(Tovrin &p) { refreshButton(p)->click(); }
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
