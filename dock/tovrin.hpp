#pragma once

#include "audio/audio-feeds.hpp"
#include "binding-rule.hpp"
#include "frontend-subscription.hpp"
#include "source-catalogue.hpp"

#include <obs-frontend-api.h>

#include "monitor/stream-monitor.hpp"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QComboBox;
class QVBoxLayout;
class QLabel;
class QSlider;
class QTimer;
class QToolButton;
class WaveformView;

// The dock's panel: two live views of the chosen source and the master mix,
// fed by OBS audio threads through two sample taps, and the chosen source's
// everyday controls.
class Tovrin : public QWidget {
	Q_OBJECT

public:
	explicit Tovrin(QWidget *parent = nullptr);
	~Tovrin() override;

	// Idempotent: stops the timers and detaches both audio callbacks, so that
	// the panel is safe to destroy while OBS audio threads keep running.
	void shutdown();

	// The source bound to the upper view, borrowed; null while none is.
	obs_source_t *boundSource() const { return inputFeed.boundSource(); }
	// The taps the audio threads fill, one a view.
	SampleTap &inputTap() { return inputFeed.inputTap; }
	SampleTap &masterTap() { return masterFeed.masterTap; }

	// saveChoice false binds without storing the source as the saved choice.
	void bindSource(obs_source_t *source, bool saveChoice = true);
	void unbindSource();

private slots:
	void onTick();
	void onSlowTimer();
	void onSourceChanged(int index);
	void onModeChanged(int index);
	void onVolumeSliderChanged(int value);
	void onMuteToggled(bool checked);
	void onMonitorToggled(bool checked);
	void onResetVolume();
	void openFilters();
	void openProperties();
	void showContextMenu(const QPoint &pos);

private:
	static uint32_t outputSampleRate();
	void startTimers();
	void showNow(StreamMonitor &monitor, WaveformView *view);
	void resetInput();

	void buildUi();
	void buildSourceRow(QVBoxLayout *outer);
	void buildVolumeRow(QVBoxLayout *outer);
	void buildModeRow(QVBoxLayout *outer);
	void buildViews(QVBoxLayout *outer);
	void nameWidgets();
	void connectControls();

	void refreshSources(bool allowRestore);
	void rebuildSourceCombo(const SourceCatalogue &catalogue);
	QString bindAutomatic(const SourceCatalogue &catalogue);
	void showCurrentSource(const QString &uuid);

	void setControlsEnabled(bool enabled);
	void syncControls();
	void updateInputTitle();

	void bindChosen(const QString &uuid);

	static void onFrontendEvent(enum obs_frontend_event event, void *param);
	void followProfile();
	void carryOut(const BindingStep &step);

	void setDisplayMode(ViewMode mode, bool persist);
	void restoreDisplayMode();
	void applyDisplayMode(ViewMode mode);

	QComboBox *sourceCombo = nullptr;
	QComboBox *modeCombo = nullptr;
	QToolButton *refreshButton = nullptr;
	QToolButton *monitorButton = nullptr;
	QToolButton *muteButton = nullptr;
	QSlider *volumeSlider = nullptr;
	QLabel *volumeLabel = nullptr;
	QToolButton *filtersButton = nullptr;
	QLabel *footerLabel = nullptr;
	WaveformView *inputView = nullptr;
	WaveformView *masterView = nullptr;
	SourceFeed inputFeed;
	MasterFeed masterFeed;
	StreamMonitor inputMonitor{&inputFeed.inputTap};
	StreamMonitor masterMonitor{&masterFeed.masterTap};
	QElapsedTimer clock; // the monitors' time step
	QTimer *tickTimer = nullptr;
	QTimer *slowTimer = nullptr;
	QString boundUuid;
	bool updatingControls = false;
	BindingRule binding;
	FrontendSubscription frontendEvents;
};
