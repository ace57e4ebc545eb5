# Sourced by the scripts that run Windows binaries: a private Wine prefix with a
# running Wine server, so each test process starts in a fraction of a second and
# no install prompt (Mono, Gecko) ever appears.
export WINEPREFIX="${WINEPREFIX:-${QUILLON_ROOT:-$PWD}/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
fi
wineserver -p >/dev/null 2>&1 || true
# The first Wine process of a session starts Wine's own background services,
# which inherit its output; start them here, detached from any test runner's
# pipes, so CTest never waits for them.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
