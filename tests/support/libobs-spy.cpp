#include "libobs-spy.hpp"

#include <mutex>

namespace spy {

namespace {
std::mutex conversionMutex;
audio_convert_info conversion = {};
void *rawParam = nullptr;
} // namespace

Counts &counts()
{
	static Counts c;
	return c;
}

void reset()
{
	Counts &c = counts();
	c.rawAdded = c.rawRemoved = c.captureAdded = c.captureRemoved = 0;
	c.sourceReleased = c.audioInfo = c.configIntWrites = 0;
}

audio_convert_info lastConversion()
{
	std::lock_guard<std::mutex> lock(conversionMutex);
	return conversion;
}

void *liveRawParam()
{
	std::lock_guard<std::mutex> lock(conversionMutex);
	return rawParam;
}

} // namespace spy

extern "C" {

void __real_obs_add_raw_audio_callback(size_t, const audio_convert_info *, audio_output_callback_t, void *);
void __real_obs_remove_raw_audio_callback(size_t, audio_output_callback_t, void *);
void __real_obs_source_add_audio_capture_callback(obs_source_t *, obs_source_audio_capture_t, void *);
void __real_obs_source_remove_audio_capture_callback(obs_source_t *, obs_source_audio_capture_t, void *);
void __real_obs_source_release(obs_source_t *);
bool __real_obs_get_audio_info(obs_audio_info *);
void __real_config_set_int(config_t *, const char *, const char *, int64_t);

void __wrap_obs_add_raw_audio_callback(size_t mix, const audio_convert_info *conv, audio_output_callback_t cb,
				       void *param)
{
	spy::counts().rawAdded++;
	{
		std::lock_guard<std::mutex> lock(spy::conversionMutex);
		spy::conversion = conv ? *conv : audio_convert_info{};
		spy::rawParam = param;
	}
	__real_obs_add_raw_audio_callback(mix, conv, cb, param);
}

void __wrap_obs_remove_raw_audio_callback(size_t mix, audio_output_callback_t cb, void *param)
{
	spy::counts().rawRemoved++;
	__real_obs_remove_raw_audio_callback(mix, cb, param);
	std::lock_guard<std::mutex> lock(spy::conversionMutex);
	if (spy::rawParam == param)
		spy::rawParam = nullptr;
}

void __wrap_obs_source_add_audio_capture_callback(obs_source_t *s, obs_source_audio_capture_t cb, void *param)
{
	spy::counts().captureAdded++;
	__real_obs_source_add_audio_capture_callback(s, cb, param);
}

void __wrap_obs_source_remove_audio_capture_callback(obs_source_t *s, obs_source_audio_capture_t cb, void *param)
{
	spy::counts().captureRemoved++;
	__real_obs_source_remove_audio_capture_callback(s, cb, param);
}

void __wrap_obs_source_release(obs_source_t *s)
{
	spy::counts().sourceReleased++;
	__real_obs_source_release(s);
}

bool __wrap_obs_get_audio_info(obs_audio_info *info)
{
	spy::counts().audioInfo++;
	return __real_obs_get_audio_info(info);
}

void __wrap_config_set_int(config_t *config, const char *section, const char *name, int64_t value)
{
	spy::counts().configIntWrites++;
	__real_config_set_int(config, section, name, value);
}
}
