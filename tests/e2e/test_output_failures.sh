#!/usr/bin/env bash
# Output that cannot be written is a failure, never a silent success: usage and version
# printed to a full device end with a non-zero status and a message.
source "$(dirname "$0")/lib.sh"
make_sandbox
for option in --help --version; do
    status=0
    "$VISTALOOM" "$option" >/dev/full 2>"$E2E_DIR/err" || status=$?
    [ "$status" -ne 0 ] || fail "$option to a full device exited 0"
    grep -q "cannot write" "$E2E_DIR/err" || fail "$option: no message: $(cat "$E2E_DIR/err")"
done
"$VISTALOOM" --version >/dev/null || fail "--version to a writable output failed"
echo PASS
