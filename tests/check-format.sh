#!/usr/bin/env bash
# Every C++ file of the project is formatted with the repository's .clang-format.
set -eu
cd "$(dirname "$0")/.."
mapfile -t files < <(find module dock audio view tests -name '*.cpp' -o -name '*.hpp' 2>/dev/null | sort)
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"
