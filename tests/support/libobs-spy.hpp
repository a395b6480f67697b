#pragma once

#include <obs.h>
#include <util/config-file.h>

#include <atomic>

// Counts the panel's calls into libobs that attach or detach audio and drop
// references. The linker routes the calls through here (--wrap) and every one
// is forwarded to the real libobs.
namespace spy {

struct Counts {
	std::atomic<int> rawAdded{0};
	std::atomic<int> rawRemoved{0};
	std::atomic<int> captureAdded{0};
	std::atomic<int> captureRemoved{0};
	std::atomic<int> sourceReleased{0};
	std::atomic<int> audioInfo{0};
	std::atomic<int> configIntWrites{0};

	int total() const { return rawAdded + rawRemoved + captureAdded + captureRemoved + sourceReleased + audioInfo; }
};

Counts &counts();
void reset();
// The conversion the most recent raw-audio registration asked for.
audio_convert_info lastConversion();
// The parameter of the raw-audio callback registered now, null for none: a
// panel's master feed, as libobs hands it to the callback.
void *liveRawParam();

} // namespace spy
