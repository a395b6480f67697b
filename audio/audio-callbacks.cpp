#include "audio-callbacks.hpp"

#include "audio-feeds.hpp"

#include <obs.h>

std::atomic<bool> masterFlowLogged{false};
std::atomic<bool> sourceFlowLogged{false};

namespace {

inline const float *const *floatPlanes(const struct audio_data *data)
{
	return reinterpret_cast<const float *const *>(data->data);
}

int countPlanes(const struct audio_data *data)
{
	int planes = 0;
	while (planes < MAX_AV_PLANES && data->data[planes])
		planes++;
	return planes;
}

// The input view shows the source after its own fader, and silence while muted.
float sourceGain(obs_source_t *bound, bool muted)
{
	if (muted)
		return 0.0f;
	if (!bound)
		return 1.0f;
	if (obs_source_muted(bound))
		return 0.0f;
	return obs_source_get_volume(bound);
}

} // namespace

void onMasterAudio(void *param, size_t, struct audio_data *data)
{
	auto *feed = static_cast<MasterFeed *>(param);
	if (!feed || !data || feed->closing)
		return;

	const int channels = data->data[1] ? 2 : 1;
	if (data->frames == 0)
		return;
	if (!masterFlowLogged.exchange(true))
		blog(LOG_INFO, "[tovrin] master audio flowing (%d ch, %u frames)", channels, data->frames);

	feed->masterTap.push(floatPlanes(data), channels, data->frames, 1.0f);
}

void onSourceAudio(void *param, obs_source_t *, const struct audio_data *data, bool muted)
{
	auto *feed = static_cast<SourceFeed *>(param);
	if (!feed || !data || feed->closing)
		return;

	const int planes = countPlanes(data);
	if (planes == 0 || data->frames == 0)
		return;
	if (!sourceFlowLogged.exchange(true))
		blog(LOG_INFO, "[tovrin] source audio flowing (%d ch, %u frames)", planes, data->frames);

	const float gain = sourceGain(feed->bound, muted);
	feed->inputTap.push(floatPlanes(data), planes, data->frames, gain);
}
