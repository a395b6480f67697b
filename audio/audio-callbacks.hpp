#pragma once

#include <atomic>
#include <cstddef>

struct audio_data;
struct obs_source;
typedef struct obs_source obs_source_t;

// Registered by the feeds (passed as param: a MasterFeed, a SourceFeed) on
// OBS's mix 0 and on the bound source. Both run on OBS audio threads: they
// read their feed's closing flag and bound source, write only into its tap,
// and never call into Qt.
void onMasterAudio(void *param, size_t mix, struct audio_data *data);
void onSourceAudio(void *param, obs_source_t *source, const struct audio_data *data, bool muted);

// Each "audio flowing" line is logged once per process, even if the panel is
// recreated.
extern std::atomic<bool> masterFlowLogged;
extern std::atomic<bool> sourceFlowLogged;
