#!/usr/bin/env bash
# Checks that the folders of src/ form layers: a folder includes only its own
# headers and those of folders in lower layers, so every arrow between folders
# points one way and nothing below knows what sits above it.
#   scripts/check-layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
declare -A layer=(
  [i18n]=0 [link]=0 [settings]=0
  [modbus]=1 [sign]=1
  [params]=2
  [logs]=3
  [study]=4
  [chart]=5 [archive]=5
  [print]=6
  [ui]=7 [cli]=7
)
status=0
for dir in "$src"/*/; do
  from=$(basename "$dir")
  if [ -z "${layer[$from]+x}" ]; then
    echo "src/$from: a folder without a layer; give it one in $0"
    status=1
    continue
  fi
  while IFS=: read -r file line to; do
    if [ -z "${layer[$to]+x}" ]; then
      echo "${file#"$src"/}:$line: includes $to/, a folder without a layer"
      status=1
    elif [ "$to" != "$from" ] && [ "${layer[$to]}" -ge "${layer[$from]}" ]; then
      echo "${file#"$src"/}:$line: $from/ (layer ${layer[$from]}) includes $to/ (layer ${layer[$to]})"
      status=1
    fi
  done < <(grep -rnoE '^#include "[a-z0-9_]+/' "$dir" | sed -E 's/#include "//; s#/$##')
done
[ $status -eq 0 ] && echo "src/: every folder includes only its own and lower layers"
exit $status
