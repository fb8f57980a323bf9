#!/usr/bin/env bash
# The committed mesh blob and its offsets header are exactly what the generator and the baker make now.
set -euo pipefail
make_model=$1 bake=$2 assets=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$make_model" --help | grep -q "usage: make_scene_model"
if "$make_model" --segments 3 "$work/x.obj" 2>/dev/null; then
  echo "make_scene_model accepted too few segments" >&2
  exit 1
fi

"$make_model" "$work/model.obj"
"$bake" --quiet --layout "$work/layout.h" "$work/model.obj" "$work/scene_mesh.bin"
cmp "$work/scene_mesh.bin" "$assets/scene_mesh.bin" || {
  echo "assets/scene_mesh.bin is stale: rebuild it with the scene_mesh_asset target" >&2
  exit 1
}
cmp "$work/layout.h" "$assets/scene_mesh_layout.h" || {
  echo "assets/scene_mesh_layout.h is stale: rebuild it with the scene_mesh_asset target" >&2
  exit 1
}
"$bake" --check "$assets/scene_mesh.bin" >/dev/null
