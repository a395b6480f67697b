#pragma once

#include <obs.h>

#include <functional>
#include <string>
#include <vector>

// A real libobs for the tests: started once per test process (each test runs in
// a process of its own), with audio at 48 kHz stereo and every log line kept.
namespace testenv {

constexpr uint32_t kRateHz = 48000;

std::vector<std::string> logLines();
// Lines containing text, in order.
std::vector<std::string> logLinesWith(const std::string &text);
void clearLog();

// Input source types registered for the tests: one with audio, fed only by
// feedTone, and one without audio.
extern const char *const kToneSourceId;
extern const char *const kSilentSourceId;

obs_source_t *createToneSource(const char *name);
obs_source_t *createSilentSource(const char *name);
// Pushes one block of a 1 kHz tone at the given amplitude through libobs's own
// audio path, so that capture callbacks fire as they do in OBS.
void feedTone(obs_source_t *source, uint32_t frames, float amplitude, uint64_t timestampNs);

// Waits on the Qt event loop until done() holds or the time is up.
template<typename Pred> bool waitFor(Pred done, int timeoutMs);
void processEventsFor(int ms);
// Runs fn just before libobs shuts down at the end of the program.
void beforeShutdown(std::function<void()> fn);

// libobs cannot drop its audio once started: a program whose tests need no
// mixer (or no audio information at all) never starts it.
enum class Mixer { On, Off };
int runTests(int argc, char **argv, Mixer mixer);

} // namespace testenv

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <ostream>

// Readable QStrings in gtest's failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
	*os << '"' << s.toStdString() << '"';
}

template<typename Pred> bool testenv::waitFor(Pred done, int timeoutMs)
{
	QElapsedTimer clock;
	clock.start();
	while (!done()) {
		if (clock.elapsed() > timeoutMs)
			return false;
		QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
	}
	return true;
}
