#pragma once

#include <obs-frontend-api.h>

// The registration of one front-end event callback: added by add, removed by
// remove or by the holder's end, whichever comes first, and never twice.
class FrontendSubscription {
public:
	FrontendSubscription() = default;
	FrontendSubscription(const FrontendSubscription &) = delete;
	FrontendSubscription &operator=(const FrontendSubscription &) = delete;
	~FrontendSubscription() { remove(); }

	void add(obs_frontend_event_cb cb, void *data)
	{
		remove();
		obs_frontend_add_event_callback(cb, data);
		callback = cb;
		param = data;
	}

	// OBS calls its callbacks newest first, so one may remove itself.
	void remove()
	{
		if (!callback)
			return;
		obs_frontend_remove_event_callback(callback, param);
		callback = nullptr;
	}

private:
	obs_frontend_event_cb callback = nullptr;
	void *param = nullptr;
};
