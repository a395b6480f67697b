#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "dashed-marker.hpp"
#include "monitor/stream-monitor.hpp"
#include "view-style.hpp"

#include <functional>

class SampleTap;

// One live display of an audio stream: the view of a StreamMonitor, ticked 30
// times a second, drawn as a spectrum or a scrolling waveform. It repaints
// only what changed, and paints every pixel of itself, the dock's own
// background in its rounded corners included, so that Qt never has to repaint
// what lies beneath it.
class WaveformView : public QWidget {
	Q_OBJECT

public:
	static constexpr int kRingSize = StreamMonitor::kRingSize;
	static constexpr double kHistorySeconds = StreamMonitor::kHistorySeconds;

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
	void changeEvent(QEvent *event) override;
	void showEvent(QShowEvent *event) override;

private:
	friend struct WaveformViewTestAccess;

	int contentWidth() const; // the plot's width, which sets the waveform's time scale
	void scheduleRepaint(ColumnSpan plotChanged);
	double markerX() const;
	void forgetPicture();
	void repaintAll();

	QString readoutText() const;
	bool waiting() const;
	const QImage &backdrop();
	QImage underlay() const;
	const QImage &frame(const QRectF &content);
	void drawFrame(QPainter &painter, const QImage &frame, const QRegion &dirty) const;
	void paintBackdrop(QPainter &painter, const QRectF &meterRect) const;
	QRect readoutPixels(const QString &text) const;
	void copyReadout(QImage &image, const QString &text);
	struct ReadoutStrip {
		QRect at; // in the backdrop's device pixels
		QImage pixels;
	};
	ReadoutStrip drawReadoutStrip(const QString &text) const;
	void paintReadout(QPainter &painter, const QString &text) const;
	void paintMeter(QPainter &painter, const QRectF &meterRect) const;
	void paintOverlays(QPainter &painter, const QRectF &contentRect) const;
	void paintSpectrumGrid(QPainter &painter, const QRectF &r) const;
	void paintSpectrum(QPainter &painter, const QRectF &r, const QRect &dirty);
	void paintLaneGrid(QPainter &painter, const QRectF &lane, bool labels) const;
	void paintLane(QImage &image, const QRectF &lane, int channel) const;
	using LanePainter = std::function<void(const QRectF &lane, int channel, bool labels)>;
	void forEachLane(const QRectF &content, const LanePainter &paint) const;

	StreamMonitor monitor; // the tap, the mode and every level and picture drawn
	QString title;
	QColor accentColor = viewstyle::inputAccent;
	QElapsedTimer clock;

	// What the last scheduled picture showed besides the plot.
	struct Shown {
		QString readout;
		double meterRms = -1.0;
		double meterPeak = -1.0;
		bool clipping = false;
		bool waiting = false;
		bool stereo = false;
		double markerX = -1.0; // the dominant frequency's dashed line, -1 for none
	};
	Shown shown;
	bool shownValid = false;

	// What does not change between frames, drawn once and kept until one of
	// the things it was drawn from changes.
	struct BackdropKey {
		QSize size;
		qreal pixelRatio = 0;
		QFont font;
		QString title;
		ViewMode mode = ViewMode::Spectrum;
		bool stereo = false;
		QPoint place;           // where the view lies in its window
		unsigned underlays = 0; // bumped when what lies beneath may look different
		bool operator==(const BackdropKey &o) const
		{
			return size == o.size && pixelRatio == o.pixelRatio && font == o.font && title == o.title &&
			       mode == o.mode && stereo == o.stereo && place == o.place && underlays == o.underlays;
		}
	};
	QImage backdropCache;
	BackdropKey backdropKey;
	unsigned underlayChanges = 0;
	unsigned backdropBuilds = 0;
	// The backdrop with the read-out and a waveform picture's strokes, and
	// what it was drawn from.
	QImage frameImage;
	unsigned frameBackdrop = 0;
	QString frameReadout;
	QHash<QString, ReadoutStrip> readouts; // each text drawn on its strip of the backdrop
	unsigned readoutsBackdrop = 0;
	bool frameClipping = false;
	bool strokesStale = true;
	DashedMarker marker; // the dominant frequency's
};
