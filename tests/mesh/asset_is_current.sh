#!/usr/bin/env bash
# The committed mesh blob and its offsets header are exactly what the generator and the baker make now.
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
make_model=$1 bake=$2 assets=$3
make_work_dir work

"$make_model" --help | grep -q "usage: make_scene_model"
! "$make_model" --segments 3 "$work/x.obj" 2>/dev/null || fail "make_scene_model accepted too few segments"

"$make_model" "$work/model.obj"
"$bake" --quiet --layout "$work/layout.h" "$work/model.obj" "$work/scene_mesh.bin"
cmp "$work/scene_mesh.bin" "$assets/scene_mesh.bin" ||
  fail "assets/scene_mesh.bin is stale: rebuild it with the scene_mesh_asset target"
cmp "$work/layout.h" "$assets/scene_mesh_layout.h" ||
  fail "assets/scene_mesh_layout.h is stale: rebuild it with the scene_mesh_asset target"
"$bake" --check "$assets/scene_mesh.bin" >/dev/null
