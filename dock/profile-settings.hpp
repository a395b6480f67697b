#pragma once

#include <QString>

#include <cstdint>

// The panel's two entries in section "Tovrin" of the current profile's
// configuration. Reads of a missing profile or key give 0 or the empty string;
// writes without a profile do nothing.
namespace profilesettings {

int32_t readInt(const char *key);
QString readString(const char *key);
// Each write is saved at once: OBS does not save the profile on exit, and the
// user's choice must survive a restart.
void writeInt(const char *key, int64_t value);
void writeString(const char *key, const QString &value);

} // namespace profilesettings
