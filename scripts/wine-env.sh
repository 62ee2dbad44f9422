# Sourced by the scripts that build or run the Windows program: chooses the Windows build and the
# Wine that runs it. The program ships as a 32-bit gridwright.exe. Some virtual machines boot
# their kernel without 32-bit support, where no 32-bit Wine can start; there the same sources are
# built for 64-bit Windows and run under 64-bit Wine, so every test still runs.
#
# Exports GRIDWRIGHT_WIN_ARCH (i686 or x86_64), GRIDWRIGHT_WINE (the Wine loader for it),
# WINEARCH and a default WINEPREFIX of that kind. Set GRIDWRIGHT_WIN_ARCH first to choose.
if [ -z "${GRIDWRIGHT_WIN_ARCH:-}" ]; then
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
        GRIDWRIGHT_WIN_ARCH=i686
    else
        GRIDWRIGHT_WIN_ARCH=x86_64
    fi
fi
export GRIDWRIGHT_WIN_ARCH
if [ "$GRIDWRIGHT_WIN_ARCH" = i686 ]; then
    export GRIDWRIGHT_WINE=wine WINEARCH=win32
    export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine}"
else
    # The plain "wine" command picks the 32-bit loader whenever it is installed.
    export GRIDWRIGHT_WINE=/usr/lib/wine/wine64 WINEARCH=win64
    export WINELOADER="$GRIDWRIGHT_WINE"
    export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.wine64}"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
