#pragma once

#include <obs.hpp>

// A strong reference for the length of one operation, released when it ends;
// null when there is no weak reference or the source is gone.
inline OBSSourceAutoRelease resolveWeak(obs_weak_source_t *weak)
{
	return OBSSourceAutoRelease(weak ? obs_weak_source_get_source(weak) : nullptr);
}
