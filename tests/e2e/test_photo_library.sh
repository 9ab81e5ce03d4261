#!/usr/bin/env bash
# The saver deals its pictures from a photo folder: across runs every photo comes once before
# any repeats, a photo added between runs comes within the cycle, a removed one never, broken
# files never; the index survives the saver being killed while it writes it; a missing folder
# falls back to the themes with one line on stderr.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_E2E_PHOTO_TREE:?path of the e2e_photo_tree helper}"
start_x
make_sandbox
make_theme demo
TREE="$E2E_DIR/photos"
"$VISTALOOM_E2E_PHOTO_TREE" "$TREE" 120 12 4 loop >"$E2E_DIR/readable.txt"
write_settings "active_module=demo" "photo_folder=$TREE"
LOG="$E2E_DIR/frames.log"
: >"$E2E_DIR/dealt.txt"

# One short run (the first scene only); its picture lines go to dealt.txt.
one_run() {
    rm -f "$LOG"
    VISTALOOM_FRAME_LOG="$LOG" start_saver /S --frames 15 "$@"
    wait_exit "$SAVER_PID" 30
    [ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    grep '^picture ' "$LOG" | cut -d' ' -f2- >"$E2E_DIR/run.txt" || true
    cat "$E2E_DIR/run.txt" >>"$E2E_DIR/dealt.txt"
}

note "six runs deal 120 photos, each once, with one added and one removed on the way"
for run in 1 2 3 4 5 6; do
    if [ "$run" = 3 ]; then
        # One not yet dealt goes, a new one comes.
        gone=$(grep -vxF -f "$E2E_DIR/dealt.txt" "$E2E_DIR/readable.txt" | sed -n 1p)
        rm "$gone"
        "$VISTALOOM_E2E_PHOTO_TREE" "$TREE/new album" 1 1 0 | sed 's/^/added: /'
        added=$(find "$TREE/new album" -type f | head -n1)
    fi
    one_run
    [ "$(wc -l <"$E2E_DIR/run.txt")" -eq 20 ] || fail "run $run dealt $(wc -l <"$E2E_DIR/run.txt") pictures"
done
[ -z "$(sort "$E2E_DIR/dealt.txt" | uniq -d)" ] ||
    fail "a photo came twice within the cycle: $(sort "$E2E_DIR/dealt.txt" | uniq -d | head -n3)"
grep -qxF "$added" "$E2E_DIR/dealt.txt" || fail "the added photo was not dealt in the cycle"
! grep -qxF "$gone" "$E2E_DIR/dealt.txt" || fail "the removed photo was dealt"
! grep -q 'broken-' "$E2E_DIR/dealt.txt" || fail "a broken file was dealt"
INDEX=$(find "$XDG_CACHE_HOME/vistaloom" -name 'photos-*.index')
[ -n "$INDEX" ] || fail "no index in the cache folder"

note "killed while it may be writing the index: the next run still starts from an index"
for delay in 0.05 0.1 0.15 0.2 0.3 0.4 0.5 0.7; do
    VISTALOOM_FRAME_LOG="$LOG" start_saver /S
    sleep "$delay"
    kill -KILL "$SAVER_PID"
    wait "$SAVER_PID" 2>/dev/null || true
done
cp "$INDEX" "$E2E_DIR/index.before"
one_run
[ "$(wc -l <"$E2E_DIR/run.txt")" -eq 20 ] || fail "after the kills: $(wc -l <"$E2E_DIR/run.txt") pictures"
grep -q 'photo folder\|can be read' "$E2E_DIR/saver.err" && fail "stderr: $(cat "$E2E_DIR/saver.err")"
cmp -s "$INDEX" "$E2E_DIR/index.before" && fail "the run did not write its index"

note "a hand-damaged index is dropped and made again"
printf 'garbage' | dd of="$INDEX" bs=1 seek=40 conv=notrunc 2>/dev/null
one_run
[ "$(wc -l <"$E2E_DIR/run.txt")" -eq 20 ] || fail "with a damaged index: $(wc -l <"$E2E_DIR/run.txt") pictures"

note "a missing folder: the theme's pictures and one line on stderr"
one_run --photos "$E2E_DIR/no such folder"
[ ! -s "$E2E_DIR/run.txt" ] || fail "pictures dealt from a missing folder"
[ "$(grep -c 'showing the installed themes' "$E2E_DIR/saver.err")" -eq 1 ] ||
    fail "stderr: $(cat "$E2E_DIR/saver.err")"
echo PASS
