#include "profile-settings.hpp"

#include <obs-frontend-api.h>
#include <util/config-file.h>

namespace profilesettings {

namespace {

constexpr const char *kSection = "Tovrin";

void save(config_t *config)
{
	config_save_safe(config, "tmp", nullptr);
}

} // namespace

int32_t readInt(const char *key)
{
	config_t *config = obs_frontend_get_profile_config();
	return config ? int32_t(config_get_int(config, kSection, key)) : 0;
}

QString readString(const char *key)
{
	config_t *config = obs_frontend_get_profile_config();
	return config ? QString::fromUtf8(config_get_string(config, kSection, key)) : QString();
}

void writeInt(const char *key, int64_t value)
{
	if (config_t *config = obs_frontend_get_profile_config()) {
		config_set_int(config, kSection, key, value);
		save(config);
	}
}

void writeString(const char *key, const QString &value)
{
	if (config_t *config = obs_frontend_get_profile_config()) {
		config_set_string(config, kSection, key, value.toUtf8().constData());
		save(config);
	}
}

} // namespace profilesettings
