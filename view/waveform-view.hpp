#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include "spectrum-analyser.hpp"
#include "waveform-history.hpp"

#include <cstdint>
#include <functional>
#include <vector>

class SampleTap;

enum class ViewMode : int32_t {
	Waveform = 0,
	Spectrum = 1,
};

// One live display of an audio stream: drains its tap 30 times a second,
// meters it and draws it as a spectrum or a scrolling waveform.
class WaveformView : public QWidget {
	Q_OBJECT

public:
	static constexpr int kRingSize = SpectrumAnalyser::kSize; // samples the spectrum analyses at once
	static constexpr double kHistorySeconds = 3.0;            // audio across the waveform's width

	explicit WaveformView(QWidget *parent = nullptr);
	~WaveformView() override;

	QSize sizeHint() const override;
	QSize minimumSizeHint() const override;

	void tick();
	void reset();
	void setMode(ViewMode m);
	void attachTap(SampleTap *t);
	void setAccentColor(const QColor &color);
	void setTitle(const QString &text);

protected:
	void paintEvent(QPaintEvent *event) override;
	void resizeEvent(QResizeEvent *event) override;

private:
	friend struct WaveformViewTestAccess;

	void measure(bool drainedStereo);
	void feedRing();
	void analyseSpectrum(double dt);
	int contentWidth() const; // the plot's width, which sets the waveform's time scale
	void updateColumnWidth();
	void fallAndRelease(double dt);

	QString readoutText() const;
	const QImage &backdrop();
	const QImage &waveformFrame(const QRectF &content);
	void drawFrame(QPainter &painter, const QImage &frame) const;
	void paintBackdrop(QPainter &painter, const QRectF &meterRect) const;
	void paintReadout(QPainter &painter) const;
	void paintMeter(QPainter &painter, const QRectF &meterRect) const;
	void paintOverlays(QPainter &painter, const QRectF &contentRect) const;
	void paintSpectrumGrid(QPainter &painter, const QRectF &r) const;
	void paintSpectrum(QPainter &painter, const QRectF &r) const;
	void paintLaneGrid(QPainter &painter, const QRectF &lane, bool labels) const;
	void paintLane(QImage &image, const QRectF &lane, int channel) const;
	using LanePainter = std::function<void(const QRectF &lane, int channel, bool labels)>;
	void forEachLane(const QRectF &content, const LanePainter &paint) const;

	SampleTap *tap = nullptr;
	QString title;
	QColor accentColor{61, 213, 152};
	ViewMode mode = ViewMode::Spectrum;
	WaveformHistory history;
	std::vector<float> drainLeft;
	std::vector<float> drainRight;
	bool stereo = false;
	std::vector<float> ring;
	int ringPos = 0;
	uint64_t ringFill = 0;
	SpectrumAnalyser analyser;
	uint32_t sampleRate = 48000;
	float peakDb = -120.0f;
	float rmsDb = -120.0f;
	bool clipping = false;
	qint64 lastAudioMs = 0; // wall clock of the last tick that drained audio
	QElapsedTimer clock;
	qint64 lastTickMs = 0;

	// What does not change between frames, drawn once and kept until one of
	// the things it was drawn from changes.
	struct BackdropKey {
		QSize size;
		qreal pixelRatio = 0;
		QFont font;
		QString title;
		ViewMode mode = ViewMode::Spectrum;
		bool stereo = false;
		bool operator==(const BackdropKey &o) const
		{
			return size == o.size && pixelRatio == o.pixelRatio && font == o.font && title == o.title &&
			       mode == o.mode && stereo == o.stereo;
		}
	};
	QImage backdropCache;
	BackdropKey backdropKey;
	QImage frameImage; // the backdrop with a waveform picture's read-out and strokes
};
