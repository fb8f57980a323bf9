#!/usr/bin/env bash
# The shell tests take error boxes one after another, each by its own key, even when the X
# server brings the next box up under the id of the one just dismissed.
# Usage: box_sequence_test.sh
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"
BOXES=${SAME_ID_BOXES:?set SAME_ID_BOXES to the same_id_boxes helper}
texts=("First box" "Second box" "Third box")

xshow_start_program "$BOXES" "${texts[@]}"
ids=()
for i in "${!texts[@]}"; do
    xshow_poll "box $((i + 1))" xshow_box_up
    ids+=("$(xshow_box_ids)")
    xshow_take_box Return
    [ "$XSHOW_BOX_TEXT" = "${texts[$i]}" ] ||
        fail "box $((i + 1)) says '$XSHOW_BOX_TEXT', expected '${texts[$i]}'"
    # this box closed, and no later one along with it
    grep -qx "box $((i + 1)) closed" "$XSHOW_OUT" || fail "box $((i + 1)) was taken but did not close"
    [ "$(grep -c closed "$XSHOW_OUT")" -eq $((i + 1)) ] ||
        fail "a key meant for box $((i + 1)) also closed the next one: $(cat "$XSHOW_OUT")"
done
[ "${ids[0]}" = "${ids[1]}" ] && [ "${ids[1]}" = "${ids[2]}" ] ||
    fail "the boxes did not share one id: ${ids[*]}"
xshow_wait_exit
[ "$XSHOW_STATUS" -eq 0 ] || fail "the helper ended with status $XSHOW_STATUS"
echo "PASS: three boxes under id ${ids[0]}, each taken by its own key"
