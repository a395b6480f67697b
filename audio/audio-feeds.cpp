#include "audio-feeds.hpp"

#include "audio-callbacks.hpp"

namespace {

constexpr size_t kMasterMix = 0;

} // namespace

void MasterFeed::attach(uint32_t rate)
{
	masterTap.setSampleRate(rate);
	audio_convert_info conversion = {};
	conversion.samples_per_sec = masterTap.sampleRate();
	conversion.format = AUDIO_FORMAT_FLOAT_PLANAR;
	conversion.speakers = SPEAKERS_STEREO;
	conversion.allow_clipping = true;
	registration.add(kMasterMix, conversion, onMasterAudio, this);
}

void MasterFeed::close()
{
	closing = true;
	registration.remove();
}

bool SourceFeed::bind(obs_source_t *source)
{
	unbind();
	bound = obs_source_get_ref(source);
	if (!bound)
		return false;
	capture.add(bound, onSourceAudio, this);
	inputTap.clear();
	return true;
}

// The callback reads the reference: it goes first.
void SourceFeed::unbind()
{
	capture.remove();
	bound.reset();
	inputTap.clear();
}

void SourceFeed::close()
{
	closing = true;
	unbind();
}
