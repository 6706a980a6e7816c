#!/usr/bin/env bash
# scripts/lint refuses a header named by a path that climbs out of its folder
# and accepts one named from src/; it refuses classes of one folder that
# include each other in a loop, through their sources too, and accepts the
# same classes without the loop.
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

# A settings class whose save calls the workout, whose store reads the
# settings: a loop through the sources, though no header includes itself.
mkdir -p "$dir/src/training"
printf '#pragma once\nclass Settings {};\n' >"$dir/src/training/Settings.h"
printf '#include "training/Settings.h"\n#include "training/Workout.h"\n' >"$dir/src/training/Settings.cpp"
printf '#pragma once\n#include <string>\nclass Workout {};\n' >"$dir/src/training/Workout.h"
printf '#include "training/Workout.h"\n#include "training/Store.h"\n' >"$dir/src/training/Workout.cpp"
printf '#pragma once\nclass Store {};\n' >"$dir/src/training/Store.h"
printf '#include "training/Store.h"\n#include "training/Settings.h"\n#include "platform/base/Log.h"\n' \
  >"$dir/src/training/Store.cpp"
if "$lint" includes "$dir"/src/training/* >/dev/null 2>&1; then
  echo "scripts/lint accepted the loop Settings -> Workout -> Store -> Settings" >&2
  exit 1
fi
# The settings no longer know the workout: no loop.
printf '#include "training/Settings.h"\n' >"$dir/src/training/Settings.cpp"
"$lint" includes "$dir"/src/training/*
