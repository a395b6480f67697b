#include "tovrin.hpp"

#include <obs.h>

// The caller keeps its own reference to source; the panel takes one weak and
// one strong reference of its own for the whole binding.
void Tovrin::bindSource(obs_source_t *source)
{
	unbindSource();
	if (!source)
		return;

	weakSource = obs_source_get_weak_source(source);
	boundSource = obs_source_get_ref(source);
	if (!boundSource) {
		// The source is being destroyed: stay unbound.
		obs_weak_source_release(weakSource);
		weakSource = nullptr;
		return;
	}
	boundUuid = QString::fromUtf8(obs_source_get_uuid(source));
	obs_source_add_audio_capture_callback(boundSource, onSourceAudio, this);

	// Whatever the new callback pushed before the panel was ready goes.
	inputTap.clear();
	blog(LOG_INFO, "[tovrin] monitoring source '%s'", obs_source_get_name(source));
}

void Tovrin::unbindSource()
{
	if (boundSource) {
		obs_source_remove_audio_capture_callback(boundSource, onSourceAudio, this);
		obs_source_release(boundSource);
		boundSource = nullptr;
	}
	if (weakSource) {
		obs_weak_source_release(weakSource);
		weakSource = nullptr;
	}
	boundUuid.clear();
	inputTap.clear();
}
