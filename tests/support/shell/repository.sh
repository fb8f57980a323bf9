# Where things are in the repository, for shell tests and benchmarks: its root, found from this
# file's own place, and the soundtrack's file, named once in assets/soundtrack_file.h. Source it
# from bash (checks.sh does).
#
#     source "$(dirname "$0")/../support/shell/repository.sh"
#     ffprobe "$vl_repository_root/data/$vl_soundtrack_file"

vl_repository_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
vl_soundtrack_file=$(sed -n 's/^#define VL_SOUNDTRACK_FILE "\(.*\)"$/\1/p' "$vl_repository_root/assets/soundtrack_file.h")
[ -n "$vl_soundtrack_file" ] || { echo "no VL_SOUNDTRACK_FILE in $vl_repository_root/assets/soundtrack_file.h" >&2; exit 2; }
