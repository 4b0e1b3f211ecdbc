#!/usr/bin/env bash
# Installs the Debian 12 packages Relaydeck needs that are not installed yet.
#   deps.sh build     compiler, CMake, Qt 6, GoogleTest, cpp-httplib and OpenSSL (web server)
#   deps.sh run       build + what the program needs to show itself under Xvfb
#   deps.sh test      build + Xvfb with openbox, the MinGW-w64 cross compiler, Wine, NSIS
#                     (the Windows installer), lintian (the Debian package), clang
#                     (fuzzing), Prometheus and headless Chromium with Selenium; and
#                     cpp-httplib's source package unpacked in $HTTPLIB_CACHE (see below)
#   deps.sh bench     build + Google Benchmark, GNU time, Xvfb and xdotool
set -euo pipefail

build=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-speech-dev qt6-multimedia-dev
       qt6-declarative-dev libgl-dev libgtest-dev fonts-dejavu-core locales
       libcpp-httplib-dev libssl-dev)
case "${1:-build}" in
    build) want=("${build[@]}") ;;
    run) want=("${build[@]}" xvfb xauth openbox x11-utils xdotool imagemagick qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng) ;;
    test) want=("${build[@]}" xvfb xauth openbox x11-utils g++-mingw-w64-x86-64-posix
                mingw-w64-x86-64-dev wine64 wine nsis lintian clang-14 libclang-rt-14-dev
                prometheus chromium chromium-driver python3-selenium curl) ;;
    bench) want=("${build[@]}" libbenchmark-dev time xvfb xdotool) ;;
    *) echo "usage: deps.sh build|run|test|bench" >&2; exit 2 ;;
esac

# The Windows program's web server uses cpp-httplib's single header. Debian's binary package
# ships it split for a Linux shared library, so the Windows build takes the whole header from
# the source package, unpacked in a cache folder of ours (never copied into the sources).
HTTPLIB_CACHE=${RELAYDECK_HTTPLIB_CACHE:-/var/cache/relaydeck/cpp-httplib}
httplib_source() {
    [ -f "$HTTPLIB_CACHE/httplib.h" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "deps.sh: run as root (or with sudo) to fetch cpp-httplib's source package" >&2
        exit 1
    fi
    local list=/etc/apt/sources.list.d/relaydeck-src.sources
    if [ ! -f "$list" ]; then
        printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
            'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' >"$list"
        apt-get -o DPkg::Lock::Timeout=900 update -qq
    fi
    local work
    work=$(mktemp -d)
    (cd "$work" && apt-get source --download-only -qq cpp-httplib >/dev/null 2>&1) ||
        { apt-get -o DPkg::Lock::Timeout=900 update -qq &&
          (cd "$work" && apt-get source --download-only -qq cpp-httplib >/dev/null); } ||
        { echo "deps.sh: cpp-httplib's source package could not be fetched" >&2; exit 1; }
    local orig
    orig=$(ls "$work"/cpp-httplib_*.orig.tar.* | head -n 1)
    tar -xf "$orig" -C "$work"
    local header
    header=$(find "$work" -mindepth 2 -maxdepth 2 -name httplib.h | head -n 1)
    [ -n "$header" ] || { echo "deps.sh: no httplib.h in $orig" >&2; exit 1; }
    mkdir -p "$HTTPLIB_CACHE"
    cp "$header" "$(dirname "$header")/LICENSE" "$HTTPLIB_CACHE/"
    basename "$orig" >"$HTTPLIB_CACHE/SOURCE"
    rm -rf "$work"
}

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# The number tests run under a Portuguese locale (comma decimal separator).
ensure_locale() {
    locale -a 2>/dev/null | grep -qix 'pt_BR\.utf-\?8' && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "deps.sh: run as root (or with sudo) to generate the locale pt_BR.UTF-8" >&2
        exit 1
    fi
    localedef -i pt_BR -c -f UTF-8 pt_BR.UTF-8
}

if [ ${#missing[@]} -eq 0 ]; then
    ensure_locale
    [ "${1:-build}" = test ] && httplib_source
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "deps.sh: run as root (or with sudo) to install these packages" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Another package run (an update in the background) may hold the lock: wait for it.
wait_lock=(-o DPkg::Lock::Timeout=900)
update_log=$(mktemp)
for attempt in $(seq 90); do
    apt-get "${wait_lock[@]}" update -qq >/dev/null 2>"$update_log" && break
    grep -q -i 'lock' "$update_log" || { cat "$update_log" >&2; rm -f "$update_log"; exit 1; }
    [ "$attempt" -eq 1 ] && echo "Another package run holds the lock; waiting for it to finish."
    sleep 10
done
rm -f "$update_log"
apt_log=$(mktemp)
if ! apt-get "${wait_lock[@]}" install -y -q --no-install-recommends "${missing[@]}" \
        >"$apt_log" 2>&1; then
    tail -n 30 "$apt_log" >&2
    rm -f "$apt_log"
    exit 1
fi
rm -f "$apt_log"
ensure_locale
[ "${1:-build}" = test ] && httplib_source
exit 0
