# Sourced with win32 or win64: the environment of one private Wine prefix of the
# build. win32 runs the i686 binaries with Wine's 32-bit loader; win64 runs the
# x86-64 ones with wine64 alone, so it needs no 32-bit execution from the kernel.
# Sets QUILLON_WINE (the loader) and QUILLON_WINESERVER.
quillon_wine_arch=${1:?usage: source scripts/wine/env.sh win32|win64}
quillon_root=${QUILLON_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
case $quillon_wine_arch in
win32) QUILLON_WINE=/usr/lib/wine/wine ;;
win64) QUILLON_WINE=/usr/lib/wine/wine64 ;;
*)
    echo "wine/env.sh: unknown architecture '$quillon_wine_arch'" >&2
    return 2
    ;;
esac
export WINEARCH=$quillon_wine_arch
export WINEPREFIX=${QUILLON_WINEPREFIX_ROOT:-$quillon_root/build}/wineprefix-$quillon_wine_arch
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINELOADER=$QUILLON_WINE
QUILLON_WINESERVER=/usr/lib/wine/wineserver64
