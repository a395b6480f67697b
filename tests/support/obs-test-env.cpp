#include "obs-test-env.hpp"

#include <gtest/gtest.h>
#include <util/bmem.h>

#include <QApplication>

#include <cmath>
#include <numbers>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace testenv {

const char *const kToneSourceId = "tovrin_test_tone";
const char *const kSilentSourceId = "tovrin_test_silent";

namespace {

std::vector<std::function<void()>> shutdownHooks;
std::mutex logMutex;
std::vector<std::string> lines;

void captureLog(int level, const char *format, va_list args, void *)
{
	char text[4096];
	vsnprintf(text, sizeof(text), format, args);
	std::lock_guard<std::mutex> lock(logMutex);
	lines.emplace_back(text);
	if (level <= LOG_WARNING || getenv("TOVRIN_TEST_VERBOSE"))
		fprintf(stderr, "libobs: %s\n", text);
}

const char *sourceName(void *)
{
	return "test source";
}

void *createNothing(obs_data_t *, obs_source_t *source)
{
	return source;
}

void destroyNothing(void *) {}

obs_source_info typeInfo(const char *id, uint32_t flags)
{
	obs_source_info info = {};
	info.id = id;
	info.type = OBS_SOURCE_TYPE_INPUT;
	info.output_flags = flags;
	info.get_name = sourceName;
	info.create = createNothing;
	info.destroy = destroyNothing;
	return info;
}

bool startObs(Mixer mixer)
{
	base_set_log_handler(captureLog, nullptr);
	if (!obs_startup("en-US", nullptr, nullptr)) {
		fprintf(stderr, "obs_startup failed: libobs needs an X display (DISPLAY=%s)\n", getenv("DISPLAY"));
		return false;
	}
	obs_audio_info audio = {kRateHz, SPEAKERS_STEREO};
	if (mixer == Mixer::On && !obs_reset_audio(&audio)) {
		fprintf(stderr, "obs_reset_audio failed\n");
		return false;
	}
	const obs_source_info tone = typeInfo(kToneSourceId, OBS_SOURCE_AUDIO);
	const obs_source_info silent = typeInfo(kSilentSourceId, 0);
	obs_register_source(&tone);
	obs_register_source(&silent);
	return true;
}

// Every reference the code under test took has been given back.
bool stopObs()
{
	for (auto &hook : shutdownHooks)
		hook();
	if (obs_initialized()) // a test may have shut libobs down itself
		obs_shutdown();
	base_set_log_handler(nullptr, nullptr);
	const long leaked = bnum_allocs();
	if (leaked)
		fprintf(stderr, "libobs allocations leaked: %ld\n", leaked);
	return leaked == 0;
}

} // namespace

std::vector<std::string> logLines()
{
	std::lock_guard<std::mutex> lock(logMutex);
	return lines;
}

std::vector<std::string> logLinesWith(const std::string &text)
{
	std::vector<std::string> found;
	for (const std::string &line : logLines())
		if (line.find(text) != std::string::npos)
			found.push_back(line);
	return found;
}

void clearLog()
{
	std::lock_guard<std::mutex> lock(logMutex);
	lines.clear();
}

obs_source_t *createToneSource(const char *name)
{
	return obs_source_create(kToneSourceId, name, nullptr, nullptr);
}

obs_source_t *createSilentSource(const char *name)
{
	return obs_source_create(kSilentSourceId, name, nullptr, nullptr);
}

void feedTone(obs_source_t *source, uint32_t frames, float amplitude, uint64_t timestampNs)
{
	std::vector<float> left(frames), right(frames);
	for (uint32_t i = 0; i < frames; i++)
		left[i] = right[i] = amplitude * float(std::sin(2.0 * std::numbers::pi * 1000.0 * i / kRateHz));
	obs_source_audio audio = {};
	audio.data[0] = reinterpret_cast<const uint8_t *>(left.data());
	audio.data[1] = reinterpret_cast<const uint8_t *>(right.data());
	audio.frames = frames;
	audio.speakers = SPEAKERS_STEREO;
	audio.format = AUDIO_FORMAT_FLOAT_PLANAR;
	audio.samples_per_sec = kRateHz;
	audio.timestamp = timestampNs;
	obs_source_output_audio(source, &audio);
}

void beforeShutdown(std::function<void()> fn)
{
	shutdownHooks.push_back(std::move(fn));
}

void processEventsFor(int ms)
{
	QElapsedTimer clock;
	clock.start();
	while (clock.elapsed() < ms)
		QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int runTests(int argc, char **argv, Mixer mixer)
{
	// Widgets render off screen; libobs itself still wants the X display.
	if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
		qputenv("QT_QPA_PLATFORM", "offscreen");
	QApplication app(argc, argv);
	::testing::InitGoogleTest(&argc, argv);
	if (GTEST_FLAG_GET(list_tests))
		return RUN_ALL_TESTS();
	// Started outside gtest: a failed start must fail the program, where a
	// failing global environment would only mark the tests skipped.
	if (!startObs(mixer))
		return 2;
	const int result = RUN_ALL_TESTS();
	return stopObs() ? result : 3;
}

} // namespace testenv
