#include "tovrin.hpp"

#include "view/view-style.hpp"
#include "view/waveform-view.hpp"

#include "locale-text.hpp"
#include "volume-scale.hpp"

#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSpacing = 6;
constexpr int kViewHeight = 220; // both views start equal
constexpr double kFooterMinPointSize = 7.5;

QHBoxLayout *row()
{
	auto *layout = new QHBoxLayout;
	layout->setSpacing(kSpacing);
	return layout;
}

// OBS's themes give checked push buttons the highlight colour but leave
// checked tool buttons looking unchecked; a muted source must look muted.
const char *const kCheckedStyle = "QToolButton:checked { background-color: palette(highlight); "
				  "color: palette(highlighted-text); }";

QToolButton *toolButton(QWidget *parent, const char *textKey, const char *tipKey, bool checkable)
{
	auto *button = new QToolButton(parent);
	button->setText(localeText(textKey));
	button->setCheckable(checkable);
	if (checkable)
		button->setStyleSheet(QString::fromLatin1(kCheckedStyle));
	button->setToolTip(localeText(tipKey));
	return button;
}

// The read-out wants a fixed-width face so the digits do not dance as the
// value changes; where Consolas is missing, the platform's fixed font.
QFont readoutFont(QFont font)
{
	const QString preferred = QStringLiteral("Consolas");
	font.setFamily(QFontDatabase::hasFamily(preferred)
			       ? preferred
			       : QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
	return font;
}

} // namespace

void Tovrin::buildUi()
{
	auto *outer = new QVBoxLayout(this);
	outer->setContentsMargins(8, 8, 8, 6);
	outer->setSpacing(kSpacing);

	buildSourceRow(outer);
	buildVolumeRow(outer);
	buildModeRow(outer);
	buildViews(outer);

	footerLabel = new QLabel(localeText("Footer.Hint"), this);
	footerLabel->setWordWrap(true);
	QFont footerFont = footerLabel->font();
	footerFont.setPointSizeF(std::max(footerFont.pointSizeF() - 1.0, kFooterMinPointSize));
	footerLabel->setFont(footerFont);
	outer->addWidget(footerLabel, 0);

	nameWidgets();
	connectControls();
	setControlsEnabled(false);
}

void Tovrin::buildSourceRow(QVBoxLayout *outer)
{
	QHBoxLayout *layout = row();
	layout->addWidget(new QLabel(localeText("Source.Label"), this), 0);

	sourceCombo = new QComboBox(this);
	sourceCombo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
	sourceCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
	sourceCombo->setMinimumContentsLength(6);
	sourceCombo->setToolTip(localeText("Source.Tooltip"));
	layout->addWidget(sourceCombo, 1);

	refreshButton = new QToolButton(this);
	refreshButton->setText(QStringLiteral("\u27F3"));
	refreshButton->setToolTip(localeText("Source.Refresh"));
	refreshButton->setAutoRaise(true);
	layout->addWidget(refreshButton, 0);
	outer->addLayout(layout, 0);
}

void Tovrin::buildVolumeRow(QVBoxLayout *outer)
{
	QHBoxLayout *layout = row();
	monitorButton = toolButton(this, "Monitor", "Monitor.Tooltip", true);
	layout->addWidget(monitorButton, 0);
	muteButton = toolButton(this, "Mute", "Mute.Tooltip", true);
	layout->addWidget(muteButton, 0);

	volumeSlider = new QSlider(Qt::Horizontal, this);
	volumeSlider->setRange(0, volumescale::kSliderMax);
	volumeSlider->setValue(600);
	volumeSlider->setToolTip(localeText("Volume.Tooltip"));
	volumeSlider->setMinimumWidth(40);
	layout->addWidget(volumeSlider, 1);

	volumeLabel = new QLabel(QStringLiteral("0.0 dB"), this);
	volumeLabel->setMinimumWidth(48);
	volumeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
	volumeLabel->setFont(readoutFont(volumeLabel->font()));
	layout->addWidget(volumeLabel, 0);

	// Created with the volume controls (tab order) but shown in the mode row.
	filtersButton = toolButton(this, "Filters", "Filters.Tooltip", false);
	outer->addLayout(layout, 0);
}

void Tovrin::buildModeRow(QVBoxLayout *outer)
{
	QHBoxLayout *layout = row();
	layout->addWidget(new QLabel(localeText("Mode.Label"), this), 0);

	modeCombo = new QComboBox(this);
	modeCombo->addItem(localeText("Mode.Spectrum"));
	modeCombo->addItem(localeText("Mode.Waveform"));
	modeCombo->setToolTip(localeText("Mode.Tooltip"));
	modeCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
	modeCombo->setMinimumContentsLength(3);
	modeCombo->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
	layout->addWidget(modeCombo, 0);
	layout->addStretch(1);
	layout->addWidget(filtersButton, 0);
	outer->addLayout(layout, 0);
}

void Tovrin::buildViews(QVBoxLayout *outer)
{
	auto *splitter = new QSplitter(Qt::Vertical, this);
	splitter->setChildrenCollapsible(false);
	splitter->setHandleWidth(5);

	auto makeView = [&](const char *titleKey, const QColor &accent) {
		auto *view = new WaveformView(splitter);
		view->setTitle(localeText(titleKey));
		view->setAccentColor(accent);
		view->setContextMenuPolicy(Qt::CustomContextMenu);
		view->setToolTip(localeText("Waveform.Tooltip"));
		return view;
	};
	inputView = makeView("Input.Title", viewstyle::inputAccent);
	masterView = makeView("Master.Title", viewstyle::masterAccent);

	splitter->addWidget(inputView);
	splitter->addWidget(masterView);
	splitter->setStretchFactor(0, 1);
	splitter->setStretchFactor(1, 1);
	splitter->setSizes({kViewHeight, kViewHeight});
	outer->addWidget(splitter, 1);
}

// Named, so that style sheets, accessibility tools and tests can find them.
void Tovrin::nameWidgets()
{
	const std::pair<QWidget *, const char *> named[] = {
		{sourceCombo, "tovrin-source"},    {refreshButton, "tovrin-refresh"},
		{monitorButton, "tovrin-monitor"}, {muteButton, "tovrin-mute"},
		{volumeSlider, "tovrin-volume"},   {volumeLabel, "tovrin-volume-label"},
		{filtersButton, "tovrin-filters"}, {modeCombo, "tovrin-mode"},
		{inputView, "tovrin-input-view"},  {masterView, "tovrin-master-view"},
		{footerLabel, "tovrin-footer"}};
	for (const auto &[widget, name] : named)
		widget->setObjectName(QLatin1String(name));
}

void Tovrin::connectControls()
{
	connect(sourceCombo, &QComboBox::currentIndexChanged, this, &Tovrin::onSourceChanged);
	connect(modeCombo, &QComboBox::currentIndexChanged, this, &Tovrin::onModeChanged);
	connect(refreshButton, &QToolButton::clicked, this, [this](bool) { refreshSources(false); });
	connect(monitorButton, &QToolButton::toggled, this, &Tovrin::onMonitorToggled);
	connect(muteButton, &QToolButton::toggled, this, &Tovrin::onMuteToggled);
	connect(volumeSlider, &QSlider::valueChanged, this, &Tovrin::onVolumeSliderChanged);
	connect(filtersButton, &QToolButton::clicked, this, &Tovrin::openFilters);
	connect(inputView, &QWidget::customContextMenuRequested, this, &Tovrin::showContextMenu);
	connect(inputView, &WaveformView::plotResized, this, [this] { showNow(inputMonitor, inputView); });
	connect(masterView, &WaveformView::plotResized, this, [this] { showNow(masterMonitor, masterView); });
	connect(masterView, &QWidget::customContextMenuRequested, this, &Tovrin::showContextMenu);
}

void Tovrin::setControlsEnabled(bool enabled)
{
	if (sourceCombo)
		sourceCombo->setEnabled(true);
	const std::initializer_list<QWidget *> sourceControls = {monitorButton, muteButton, volumeSlider, volumeLabel,
								 filtersButton};
	for (QWidget *control : sourceControls)
		if (control)
			control->setEnabled(enabled);
}
