// libFuzzer target: arbitrary blocks into a SampleTap (any plane count, null
// planes, frame counts past the capacity, any gain and sample bit pattern,
// any sample rate) and the monitoring core draining it in either mode at any
// plot width, shown or not. Anything a sanitizer reports, or a level that is
// not a number, is a fault.
#include "audio/sample-tap.hpp"
#include "monitor/stream-monitor.hpp"

#include <media-io/media-io-defs.h>

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

void check(const StreamMonitor &m)
{
	if (std::isnan(m.peakDb) || std::isnan(m.rmsDb) || std::isnan(m.analyser.dominantDb))
		std::abort();
	for (float level : m.analyser.levels())
		if (std::isnan(level))
			std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	SampleTap tap;
	StreamMonitor monitor;
	monitor.attachTap(&tap);
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
			const ColumnSpan changed = monitor.tick({now, now}, width, in.take<uint8_t>() & 1);
			if (!changed.empty() && (changed.first < 0 || changed.last < changed.first))
				std::abort();
			check(monitor);
			if (width > 0 && monitor.mode == ViewMode::Spectrum)
				monitor.spectrumColumns(width);
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
