#!/usr/bin/env bash
# Formats the project's C++ sources with the repository's .clang-format. With --check it changes
# nothing and fails when a file is not formatted.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."

mode=(-i)
if [ "${1:-}" = "--check" ]; then
    mode=(--dry-run -Werror)
fi

mapfile -t files < <(find platform opponents gamedata pictures lists app tools bench tests \
    -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
[ ${#files[@]} -eq 0 ] || clang-format "${mode[@]}" "${files[@]}"
