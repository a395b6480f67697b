#pragma once

#include <QColor>
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

// One live display of an audio stream: a picture of the snapshot its owner
// gives it about 30 times a second, drawn as a spectrum or a scrolling
// waveform. It repaints only what differs from the last snapshot, and paints
// every pixel of itself, the dock's own background in its rounded corners
// included, so that Qt never has to repaint what lies beneath it.
class WaveformView : public QWidget {
	Q_OBJECT

public:
	explicit WaveformView(QWidget *parent = nullptr);
	~WaveformView() override;

	QSize sizeHint() const override;
	QSize minimumSizeHint() const override;

	// Shows what the stream's monitor saw at its last tick.
	void setSnapshot(const MonitorSnapshot &next);
	const MonitorSnapshot &snapshot() const { return picture; }
	// The plot's width in columns, which sets the waveform's time scale.
	int plotColumns() const;
	void setAccentColor(const QColor &color);
	void setTitle(const QString &text);
	const QString &currentTitle() const { return title; }
	QString readoutText() const;
	static QString readoutText(const MonitorSnapshot &s);

signals:
	// The plot has a new width: the owner's next snapshot should follow it.
	void plotResized();

protected:
	void paintEvent(QPaintEvent *event) override;
	void resizeEvent(QResizeEvent *event) override;
	void changeEvent(QEvent *event) override;
	void showEvent(QShowEvent *event) override;

private:
	void scheduleRepaint(const MonitorSnapshot &was);
	double markerX(const MonitorSnapshot &s) const;
	void forgetPicture();
	void repaintAll();

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

	MonitorSnapshot picture;  // the snapshot drawn: every level and plot
	MonitorSnapshot previous; // the one before, which the picture on screen may still show
	QString title;
	QColor accentColor = viewstyle::inputAccent;
	// What is on screen is the previous snapshot's: a partial repaint suffices.
	bool pictureValid = false;

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
