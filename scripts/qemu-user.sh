# Sourced: running 32-bit programs through qemu-user where the kernel refuses them (or on purpose).
# A handler in binfmt_misc is consulted before the kernel's own loader, so with it registered every
# 32-bit program, Wine's included, runs through qemu-user.
#
# qemu-user before 10 breaks multi-threaded 32-bit Wine: all threads share one emulated TLS
# descriptor, so a thread that starts alongside another, or takes a signal once another exists, runs
# on the other's thread block (its thread id, locks and server pipe). Where the release's own
# qemu-user is older, it comes from the release's backports suite. (Both report a page fault to
# Wine without its trap number, so an access violation shows as an illegal instruction.)

qv_qemu_min_major=10
qv_binfmt=/proc/sys/fs/binfmt_misc
qv_qemu_entry=$qv_binfmt/qemu-i386
# Matches i386 ELF executables and shared objects; flag F opens the interpreter at registration,
# so it also works inside other mount namespaces, and a new binary needs a new registration.
qv_qemu_rule=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

# The emulator 32-bit programs run through now ("qemu-i386 version ..."), empty when they run
# natively or not at all. qemu-user prints its version when QEMU_VERSION is set.
qv_i386_emulator() {
    [ -e "$qv_qemu_entry" ] || return 0
    QEMU_VERSION=1 /lib/ld-linux.so.2 2>/dev/null | sed -n '1s/^\(qemu-i386 version .*\)/\1/p'
}

qv_i386_native() {
    [ -z "$(qv_i386_emulator)" ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# One line for logs: which path 32-bit programs take.
qv_i386_path() {
    local emulator
    emulator=$(qv_i386_emulator)
    if [ -n "$emulator" ]; then
        echo "32-bit Windows programs: emulated through qemu-user ($emulator)"
    elif /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
        echo "32-bit Windows programs: native 32-bit"
    else
        echo "32-bit Windows programs: refused by this kernel, and no emulator registered"
    fi
}

qv_qemu_installed_major() {
    /usr/bin/qemu-i386-static --version 2>/dev/null | sed -n '1s/^qemu-i386 version \([0-9]*\).*/\1/p'
}

# The first URI that the machine's apt sources (deb822 or one-line form) name for the suite, and the
# keyring they sign it with (if they name one), separated by a tab.
qv_apt_mirror() {
    local suite=$1 file files=()
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] && files+=("$file")
    done
    [ ${#files[@]} -gt 0 ] || return 0
    awk -v suite="$suite" '
        function check(uris, suites, types, keys,   u, s, i) {
            if (found != "" || types !~ /(^| )deb( |$)/) return
            split(suites, s, " "); split(uris, u, " ")
            for (i in s) if (s[i] == suite) { found = u[1] "\t" keys; return }
        }
        function field(   name) { name = tolower($1); $1 = ""; sub(/^ +/, ""); return $0 }
        FNR == 1 { check(uris, suites, types, keys); uris = suites = types = keys = "" }
        FILENAME ~ /\.sources$/ {
            if ($0 ~ /^[ \t]*$/) { check(uris, suites, types, keys); uris = suites = types = keys = "" }
            else if (tolower($1) == "uris:") uris = field()
            else if (tolower($1) == "suites:") suites = field()
            else if (tolower($1) == "types:") types = field()
            else if (tolower($1) == "signed-by:") keys = field()
            next
        }
        $1 == "deb" {
            i = 2; keys = ""
            if ($i ~ /^\[/) {
                for (; i <= NF; i++) {
                    if ($i ~ /signed-by=/) { keys = $i; sub(/.*signed-by=/, "", keys); sub(/\]$/, "", keys) }
                    if ($i ~ /\]$/) break
                }
                i++
            }
            check($i, $(i + 1), "deb", keys)
        }
        END { check(uris, suites, types, keys); if (found != "") print found }
    ' "${files[@]}"
}

# The major release of qemu-user-static that apt would install from the given suite (the default
# suites when empty); epoch and Debian revision dropped.
qv_qemu_candidate_major() {
    apt-cache policy ${1:+-t "$1"} qemu-user-static 2>/dev/null |
        sed -n 's/^ *Candidate: *\([0-9]*:\)\{0,1\}\([0-9]*\).*/\2/p'
}

qv_qemu_new_enough() {
    [ -n "$1" ] && [ "$1" -ge "$qv_qemu_min_major" ]
}

# Installs qemu-user-static, release $qv_qemu_min_major or later: from the release's own suites
# when they have it, otherwise from its backports suite on the mirror the apt sources already use.
qv_qemu_install() {
    qv_qemu_new_enough "$(qv_qemu_installed_major)" && return 0
    if qv_qemu_new_enough "$(qv_qemu_candidate_major)"; then
        apt-get install -y -qq --no-install-recommends qemu-user-static
        return 0
    fi
    local codename mirror keyring list=/etc/apt/sources.list.d/qv-backports.sources
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    IFS=$'\t' read -r mirror keyring < <(qv_apt_mirror "$codename") || true
    if [ -z "$codename" ] || [ -z "$mirror" ]; then
        echo "setup: qemu-user $qv_qemu_min_major or later needed; no apt source for '$codename'" >&2
        return 1
    fi
    if [ ! -f "$list" ]; then
        printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\n' "$mirror" \
            "$codename" >"$list"
        [ -z "$keyring" ] || printf 'Signed-By: %s\n' "$keyring" >>"$list"
    fi
    qv_qemu_new_enough "$(qv_qemu_candidate_major "$codename-backports")" || apt-get update -qq
    apt-get install -y -qq --no-install-recommends -t "$codename-backports" qemu-user-static
    qv_qemu_new_enough "$(qv_qemu_installed_major)" || {
        echo "setup: qemu-user $qv_qemu_min_major or later is not available" >&2
        return 1
    }
}

# Registers qemu-i386 for 32-bit programs, again when the registered emulator is not the installed
# one (after an upgrade the entry still runs the old binary it opened).
qv_qemu_register() {
    [ -e "$qv_binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$qv_binfmt"
    local installed
    installed=$(/usr/bin/qemu-i386-static --version | sed -n 1p)
    if [ -e "$qv_qemu_entry" ] && [ "$(qv_i386_emulator)" != "$installed" ]; then
        echo -1 >"$qv_qemu_entry"
    fi
    [ -e "$qv_qemu_entry" ] || printf '%s' "$qv_qemu_rule" >"$qv_binfmt/register"
}

qv_qemu_unregister() {
    [ ! -e "$qv_qemu_entry" ] || echo -1 >"$qv_qemu_entry"
}
