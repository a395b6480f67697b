#pragma once

#include <obs.h>

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
