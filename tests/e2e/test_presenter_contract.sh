#!/usr/bin/env bash
# The presenter contract on a real X server: shared memory, plain image requests and the
# toolkit's path all start there and must all pass the same cases.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_PRESENTER_CONTRACT:?path of presenter_contract_qt_test}"
start_x 640x480x24
QT_QPA_PLATFORM=xcb VISTALOOM_EXPECT_PRESENTERS="shm xcb qt" "$VISTALOOM_PRESENTER_CONTRACT" ||
    fail "the presenter contract failed under X11"
echo PASS
