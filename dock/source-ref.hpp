#pragma once

#include <obs.hpp>

// One libobs reference, taken elsewhere and released here: when it is replaced
// or cleared, or when the holder ends. Unlike obs.hpp's holders it never hands
// libobs a null one, so an empty holder makes no call at all.
template<typename T, void (*release)(T)> class HeldRef {
public:
	HeldRef() = default;
	HeldRef(const HeldRef &) = delete;
	HeldRef &operator=(const HeldRef &) = delete;
	~HeldRef() { reset(); }

	HeldRef &operator=(T taken)
	{
		reset();
		ref = taken;
		return *this;
	}
	void reset()
	{
		if (ref)
			release(ref);
		ref = nullptr;
	}
	operator T() const { return ref; }

private:
	T ref = nullptr;
};

using HeldSource = HeldRef<obs_source_t *, obs_source_release>;
using HeldWeakSource = HeldRef<obs_weak_source_t *, obs_weak_source_release>;

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

// A strong reference for the length of one operation, released when it ends;
// null when there is no weak reference or the source is gone.
inline OBSSourceAutoRelease resolveWeak(obs_weak_source_t *weak)
{
	return OBSSourceAutoRelease(weak ? obs_weak_source_get_source(weak) : nullptr);
}
