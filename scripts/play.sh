#!/usr/bin/env bash
# Installs what the show needs, builds it and plays it from the folder that holds data/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root"
exec "$root/build/vellamor"
