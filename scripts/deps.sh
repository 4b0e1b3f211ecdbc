#!/usr/bin/env bash
# Installs the Debian 12 packages Relaydeck needs that are not installed yet.
#   deps.sh build     compiler, CMake, Qt 6, GoogleTest, cpp-httplib and OpenSSL (web server)
#   deps.sh run       build + what the program needs to show itself under Xvfb
#   deps.sh test      build + Xvfb with openbox, the MinGW-w64 cross compiler, Wine, NSIS
#                     (the Windows installer), lintian (the Debian package), clang
#                     (fuzzing), Prometheus and headless Chromium with Selenium
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
                prometheus chromium chromium-driver python3-selenium) ;;
    bench) want=("${build[@]}" libbenchmark-dev time xvfb xdotool) ;;
    *) echo "usage: deps.sh build|run|test|bench" >&2; exit 2 ;;
esac

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
