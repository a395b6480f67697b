// libFuzzer target: arbitrary blocks into a SampleTap (any plane count, null
// planes, frame counts past the capacity, any gain and sample bit pattern,
// any sample rate) and the monitoring core draining it in either mode at any
// plot width, shown or not. Anything a sanitizer reports, or a level that is
// not a number, is a fault.
#include "audio/sample-tap.hpp"
#include "monitor/stream-monitor.hpp"

#include <media-io/media-io-defs.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kMaxFrames = 1 << 18; // past the tap's two seconds at any usual rate

class Input {
public:
	Input(const uint8_t *d, size_t n) : data(d), size(n) {}
	bool empty() const { return pos >= size; }
	template<typename T> T take()
	{
		T v{};
		const size_t n = std::min(sizeof(T), size - pos);
		std::memcpy(&v, data + pos, n);
		pos += n;
		return v;
	}

private:
	const uint8_t *data;
	size_t size;
	size_t pos = 0;
};

void push(SampleTap &tap, Input &in)
{
	const int channels = int(in.take<int8_t>()) % (MAX_AV_PLANES + 2);
	const uint32_t frames = in.take<uint32_t>() % (kMaxFrames + 1);
	const uint8_t nullPlanes = in.take<uint8_t>();
	float gain;
	const uint32_t gainBits = in.take<uint32_t>();
	std::memcpy(&gain, &gainBits, sizeof gain);
	const float pattern[2] = {in.take<float>(), in.take<float>()};
	static std::vector<float> planes[MAX_AV_PLANES];
	const float *pointers[MAX_AV_PLANES] = {};
	for (int c = 0; c < MAX_AV_PLANES; c++) {
		if (nullPlanes & (1u << c))
			continue;
		planes[c].resize(frames);
		for (uint32_t i = 0; i < frames; i++)
			planes[c][i] = pattern[(i + uint32_t(c)) & 1];
		pointers[c] = planes[c].data();
	}
	tap.push(nullPlanes == 0xff ? nullptr : pointers, channels, frames, gain);
}

void check(const MonitorSnapshot &s, int width)
{
	if (std::isnan(s.peakDb) || std::isnan(s.rmsDb) || std::isnan(s.dominantDb))
		std::abort();
	if (!s.changed.empty() && (s.changed.first < 0 || s.changed.last < s.changed.first))
		std::abort();
	const size_t columns = size_t(std::max(width, 1));
	if ((s.spectrumReady && s.columns.size() != columns) || s.waveform.size() > columns)
		std::abort();
	for (float level : s.columns)
		if (std::isnan(level))
			std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	SampleTap tap;
	StreamMonitor monitor(&tap);
	Input in(data, size);
	int64_t now = 0;
	while (!in.empty()) {
		switch (in.take<uint8_t>() % 6) {
		case 0:
		case 1:
			push(tap, in);
			break;
		case 2:
			tap.setSampleRate(in.take<uint32_t>());
			break;
		case 3: {
			now += in.take<uint16_t>();
			const int width = int(in.take<int16_t>());
			check(monitor.tick({now, now}, width, in.take<uint8_t>() & 1), width);
			break;
		}
		case 4:
			monitor.setMode(in.take<uint8_t>() & 1 ? ViewMode::Waveform : ViewMode::Spectrum);
			break;
		default:
			tap.clear();
			monitor.reset();
			break;
		}
	}
	return 0;
}
