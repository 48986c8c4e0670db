#!/bin/sh
# Runs a test program in a private D-Bus session with a throw-away keyring
# daemon, unlocked with a piped password, in a home of its own. Exits 77
# (skipped) with the reason when no Secret Service can be started.
set -eu
for tool in dbus-run-session gnome-keyring-daemon; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: no Secret Service can be started: $tool is not installed" \
             "(scripts/test-packages.txt lists it)"
        exit 77
    fi
done
home=$(mktemp -d "${TMPDIR:-/tmp}/tavmo-keyring.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/run"
chmod 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/run"
# The daemon leaves with the session's bus.
dbus-run-session -- sh -c '
    if ! printf "throw-away" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
    then
        echo "SKIP: no Secret Service can be started: gnome-keyring-daemon failed"
        exit 77
    fi
    exec "$@"' keyring "$@"
