#pragma once

#include <obs-module.h>

#include <QString>

// A text of the module's locale, converted at once: the look-up's own string
// lives only until the next locale change.
inline QString localeText(const char *key)
{
	return QString::fromUtf8(obs_module_text(key));
}
