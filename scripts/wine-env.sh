# Sourced: the Wine environment of one build tree. Usage: qv_wine_env BUILD_DIR
# The prefix and the Japanese locale live inside the build tree, never in the home folder.
# With QV_WINE_DISPLAY=1 a second prefix draws on the X display, for a person to use the dialog.
qv_wine_env() {
    if [ "${QV_WINE_DISPLAY:-0}" = 1 ]; then
        export WINEPREFIX="$1/wineprefix-display"
    else
        export WINEPREFIX="$1/wineprefix"
    fi
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Under qemu-user, Wine spends ~50 s per start reserving address space without this.
    export QEMU_RESERVED_VA=0x81000000
    QV_LOCPATH="$1/locale"
}

# Creates the prefix (null display driver, so windows work headless) and the ja_JP locale once.
qv_wine_prepare() {
    if [ ! -d "$QV_LOCPATH/ja_JP.UTF-8" ]; then
        mkdir -p "$QV_LOCPATH"
        localedef -i ja_JP -f UTF-8 "$QV_LOCPATH/ja_JP.UTF-8" 2>/dev/null ||
            [ -d "$QV_LOCPATH/ja_JP.UTF-8" ]
    fi
    if [ ! -f "$WINEPREFIX/.qv-configured" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i </dev/null >/dev/null 2>&1
        if [ "${QV_WINE_DISPLAY:-0}" != 1 ]; then
            wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        fi
        # A crashing test program ends at once instead of waiting on Wine's debugger forever.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
            /d '' /f </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.qv-configured"
    fi
}

# Wine's background processes inherit output pipes; start them detached so ctest does not wait
# on them, and stop them afterwards.
qv_wine_start() {
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

qv_wine_stop() {
    wineserver -k 2>/dev/null || true
}
