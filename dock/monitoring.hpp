#pragma once

#include <obs.h>

// Monitoring reads as on for any type but none; turning it on monitors and
// outputs, as OBS's own mixer does.
inline bool monitoringEnabled(obs_source_t *source)
{
	return obs_source_get_monitoring_type(source) != OBS_MONITORING_TYPE_NONE;
}

inline void setMonitoringEnabled(obs_source_t *source, bool enabled)
{
	obs_source_set_monitoring_type(source,
				       enabled ? OBS_MONITORING_TYPE_MONITOR_AND_OUTPUT : OBS_MONITORING_TYPE_NONE);
}
