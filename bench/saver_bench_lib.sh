# Shared set-up of the whole-program measurements, sourced by bench/*.sh: the programs of a
# build tree (or those named in the environment), the end-to-end helpers, a throw-away
# sandbox and the demo theme in its themes folder.
#   saver_bench_setup BUILD_DIR     sets `build`, exports VISTALOOM and its helpers
bench_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

saver_bench_setup() {
    build=$(cd "${1:-$bench_here/../build}" && pwd)
    export VISTALOOM=${VISTALOOM:-$build/src/vistaloom}
    export VISTALOOM_THEME_TOOL=${VISTALOOM_THEME_TOOL:-$build/tools/vistaloom-theme}
    export VISTALOOM_E2E_HOST=${VISTALOOM_E2E_HOST:-$build/tests/e2e_host_window}
    DEMO=${VISTALOOM_DEMO_THEME_DIR:-$build/themes}
    source "$bench_here/../tests/e2e/lib.sh"
    make_sandbox
}

# Copies the demo theme into the sandbox's themes folder; false when the build has none.
install_demo_theme() {
    [ -f "$DEMO/Demo.icf" ] || return 1
    cp "$DEMO/Demo.icf" "$DEMO/Demo.img" "$INSTALL_DIR/"
}

# Nanoseconds on a CPU of all threads of a process. The clock ticks of /proc/<pid>/stat would
# round a 20 s stretch of a program using half a percent of a core to a tenth of its cost.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {print n + 0}'; }
