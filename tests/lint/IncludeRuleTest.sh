#!/usr/bin/env bash
# scripts/lint refuses a header named by a path that climbs out of its folder
# and accepts one named from src/.
set -euo pipefail
lint=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '#include <string>\n#include "../services/twitter/SHRTwitter.h"\n' >"$dir/climbs.cpp"
printf '  #  include "../SHR.h"\n' >"$dir/spaced.h"
printf '#include "sharing/core/SHR.h"\n// #include "../SHR.h" in a comment is text\n' >"$dir/rooted.cpp"
for bad in climbs.cpp spaced.h; do
  if "$lint" includes "$dir/$bad" >/dev/null 2>&1; then
    echo "scripts/lint accepted $bad" >&2
    exit 1
  fi
done
"$lint" includes "$dir/rooted.cpp"
