#!/usr/bin/env bash
# The module's dynamic symbol table holds OBS's nine entry points and nothing else.
set -eu
expected="obs_module_author
obs_module_free_locale
obs_module_get_string
obs_module_load
obs_module_post_load
obs_module_set_locale
obs_module_set_pointer
obs_module_unload
obs_module_ver"
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | sort)
if [ "$actual" != "$expected" ]; then
	echo "exported symbols differ from OBS's entry points:"
	diff <(echo "$expected") <(echo "$actual") || true
	exit 1
fi
case "$(basename "$1")" in tovrin.so) ;; *) echo "module file is $(basename "$1"), not tovrin.so"; exit 1 ;; esac
echo "tovrin.so exports exactly the nine entry points"
