# Sourced: the Wine of one build tree. A Windows tree keeps its Wine prefixes and its Japanese
# locale inside itself, never in the home folder. PREFIX names the prefix (a folder of the tree):
#   wineprefix          the tests' (the default), with the null display driver so windows work
#                       headless
#   wineprefix-display  one that draws on the X display, for a person to use the dialog
#   wineprefix-screen   the screen test's, which draws on its own X server
# Usage: qv_wine_env TREE [PREFIX]   exports the prefix's environment
qv_wine_env() {
    export WINEPREFIX="$1/${2:-wineprefix}"
    QV_WINE_DRAWS=0
    [ "${2:-wineprefix}" = wineprefix ] || QV_WINE_DRAWS=1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Under qemu-user, Wine spends ~50 s per start reserving address space without this.
    export QEMU_RESERVED_VA=0x81000000
    QV_LOCPATH="$1/locale"
    [ "$(qv_wine_tree_bits "$1")" = 32 ] || qv_wine64_commands "$1"
}

# Wine's background processes inherit output pipes: the tree's Wine server is started detached
# before the programs run, so that ctest does not wait on them, and stopped afterwards. Starting
# makes the prefix first if need be, and stops a server left by a run that was killed (the start
# would fail beside it). Both run in a subshell: the caller's environment stays as it was.
# Usage: qv_wine_start TREE [PREFIX] ... qv_wine_stop TREE [PREFIX]
qv_wine_start() {
    (
        qv_wine_env "$@"
        qv_wine_prepare
        wineserver -k 2>/dev/null || true
        wineserver -p
        wine cmd /c exit </dev/null >/dev/null 2>&1
    )
}

qv_wine_stop() {
    (qv_wine_env "$@" && wineserver -k 2>/dev/null) || true
}

# The build tree a program was built in: the nearest folder above it with a CMakeCache.txt.
# Usage: qv_wine_tree_of PROGRAM
qv_wine_tree_of() {
    local dir
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ -f "$dir/CMakeCache.txt" ] || { echo "wine-env: $1 is not in a build tree" >&2; return 1; }
    echo "$dir"
}

# Creates the prefix (the tests' with the null display driver) and the ja_JP locale once.
qv_wine_prepare() {
    if [ ! -d "$QV_LOCPATH/ja_JP.UTF-8" ]; then
        mkdir -p "$QV_LOCPATH"
        localedef -i ja_JP -f UTF-8 "$QV_LOCPATH/ja_JP.UTF-8" 2>/dev/null ||
            [ -d "$QV_LOCPATH/ja_JP.UTF-8" ]
    fi
    if [ ! -f "$WINEPREFIX/.qv-configured" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        if [ "$QV_WINE_DRAWS" = 0 ]; then
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        fi
        # A crashing test program ends at once instead of waiting on Wine's debugger forever.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
            /d '' /f </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.qv-configured"
    fi
    if [ "$QV_WINE_DRAWS" = 1 ] && [ ! -f "$WINEPREFIX/.qv-fonts" ]; then
        qv_wine_fonts
        touch "$WINEPREFIX/.qv-fonts"
    fi
}

# The dialog asks for "ＭＳ Ｐゴシック", which Debian does not have: IPA P Gothic, drawn to the same
# proportional metrics, stands in, so that labels are as wide as their designers measured them.
# The caption buttons' symbols come from Wine's own Marlett (Debian's fonts-wine).
# Usage: qv_wine_fonts, after qv_wine_env with a prefix that draws
qv_wine_fonts() {
    local reg="$WINEPREFIX/qv-fonts.reg"
    {
        printf '\xff\xfe'
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
            '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
            '"ＭＳ Ｐゴシック"="IPAPGothic"' '"MS PGothic"="IPAPGothic"' \
            '"ＭＳ ゴシック"="IPAGothic"' '"MS Gothic"="IPAGothic"' '' | iconv -f UTF-8 -t UTF-16LE
    } >"$reg"
    wine regedit /S "$(winepath -w "$reg")" </dev/null >/dev/null 2>&1
    # This Wine does not look in fonts-wine's folder by itself; the prefix's font folder it reads.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
}

# The word size of a build tree's programs: 64 for the x86-64 cross build, else 32.
qv_wine_tree_bits() {
    if grep -qs '^CMAKE_LINKER:FILEPATH=.*x86_64-w64-mingw32' "$1/CMakeCache.txt"; then
        echo 64
    else
        echo 32
    fi
}

# A 64-bit tree runs under Wine's 64-bit loader itself. Debian's `wine` and `wineboot` start the
# 32-bit loader whenever wine32 is installed, which would then hand over to the 64-bit one: one
# more start, and an emulated one where 32-bit programs run through qemu-user. Small stand-ins
# for those commands, kept in the tree and put first on PATH, call the 64-bit loader directly.
qv_wine64_commands() {
    local bin loader=/usr/lib/wine/wine64
    bin="$(cd "$1" && pwd)/wine64-bin"
    if [ ! -x "$bin/wineboot" ]; then
        mkdir -p "$bin"
        ln -sf "$loader" "$bin/wine"
        for tool in wineboot winepath; do
            printf '#!/bin/sh\nexec %s %s "$@"\n' "$loader" "$tool" >"$bin/$tool"
            chmod +x "$bin/$tool"
        done
    fi
    export PATH="$bin:$PATH"
    export WINELOADER=$loader
}
