#!/usr/bin/env bash
# Checks that the product code's include graph has no circle. A header and
# the source file of the same name are one module: x.cpp including y.h and
# y.cpp including x.h is a circle too, since each needs the other to link.
#   tools/check-includes.sh        prints the modules of any circle, fails then
set -eu
cd "$(dirname "$0")/.."
edges=$(
  for file in $(git ls-files -co --exclude-standard 'app/*' 'ui/*' 'settings/*' 'framework/*' | grep -E '\.(h|cpp)$'); do
    [ -f "$file" ] || continue  # deleted in the working tree
    module=${file%.*}
    echo "$module $module"  # every module takes part, even one that includes nothing
    grep -oE '^#include "[^"]+\.h"' "$file" | sed -E 's/^#include "(.*)\.h"/\1/' |
      while read -r used; do [ "$used" = "$module" ] || echo "$module $used"; done
  done
)
if ! loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null); then
  echo "check-includes: the include graph has a circle:" >&2
  printf '%s\n' "$loops" | grep -v 'input contains a loop' >&2
  exit 1
fi
echo "check-includes: $(printf '%s\n' "$edges" | cut -d' ' -f1 | sort -u | wc -l) modules, no circle"
