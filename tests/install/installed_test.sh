#!/usr/bin/env bash
# The program installed into a prefix of its own (the system layout) and run
# by an ordinary user made for the test, whose home is a fresh folder: New,
# Print, the JPEG export, Save and Help work, the card goes under the user's
# documents, `tessaly CARD` opens the card, and nothing is written under the
# prefix.
#   installed_test.sh BUILD_DIR SESSION_PROGRAM
set -euo pipefail
build="$1"
session="$2"

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: making a test user needs root (CI runs as root)"
    exit 77
fi

work="$(mktemp -d /tmp/tessaly-installed.XXXXXX)"
user="tessaly-t$$"
program=
cleanup() {
    if [ -n "$program" ]; then
        kill "$program" 2>/dev/null || true
        wait "$program" 2>/dev/null || true
    fi
    userdel "$user" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
prefix="$work/prefix"
home="$work/home"

cmake --install "$build" --prefix "$prefix" >/dev/null
# The session runs from beside the installed program, as the program would.
install -m 755 "$session" "$prefix/bin/installed_session"
chmod -R a+rX,go-w "$prefix"
# Where the desktop finds the card file type, as a package's trigger makes it.
mime_ready=0
if command -v update-mime-database >/dev/null; then
    update-mime-database "$prefix/share/mime" && mime_ready=1
fi

useradd --home-dir "$home" --no-create-home --shell /usr/sbin/nologin --no-user-group --gid nogroup "$user"
mkdir -p "$home"
chown "$user" "$home"
chmod 700 "$home"

snapshot() { find "$prefix" -printf '%p %s %T@ %m\n' | sort; }
snapshot >"$work/before"

mkdir -m 700 "$work/runtime"
chown "$user" "$work/runtime"
# Runs a program as the user in its home; exec all the way (setpriv and env
# replace themselves), so that the caller's $! is the program itself.
as_user() {
    cd "$home"
    exec setpriv --reuid="$user" --regid=nogroup --clear-groups \
        env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_DIRS="$prefix/share:/usr/local/share:/usr/share" \
        TESSALY_MIME_READY="$mime_ready" "$@"
}

echo "== the user's session"
(as_user "$prefix/bin/installed_session")

settings="$home/.config/tessaly/tessaly.conf"
echo "== tessaly CARD opens the card"
grep -q '^RecentCards="\?[^,]*/Grandma/"\?,' "$settings" || { echo "FAILED: the session did not end on Grandma"; exit 1; }
# The session opened Grandma last; the program started with Grandpa's
# Card.crd puts Grandpa first among the recent cards once it has opened it.
card="$home/Documents/Tessaly Cards/Grandpa/Card.crd"
(as_user "$prefix/bin/tessaly" "$card") &
program=$!
opened=0
for _ in $(seq 1 100); do
    if grep -q '^RecentCards="\?[^,]*/Grandpa/"\?,' "$settings" 2>/dev/null; then
        opened=1
        break
    fi
    sleep 0.2
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
program=
if [ "$opened" -ne 1 ]; then
    echo "FAILED: tessaly \"$card\" did not open the card"
    cat "$settings" 2>/dev/null || true
    exit 1
fi

echo "== any other argument is a usage message"
status=0
(as_user "$prefix/bin/tessaly" --bogus) 2>"$work/usage" || status=$?
if [ "$status" -ne 2 ] || ! grep -q '^Usage: tessaly' "$work/usage"; then
    echo "FAILED: tessaly --bogus ended with $status"; cat "$work/usage"; exit 1
fi

echo "== nothing written under the prefix"
snapshot >"$work/after"
if ! diff "$work/before" "$work/after"; then
    echo "FAILED: the installation was changed"
    exit 1
fi
if [ ! -f "$home/.cache/tessaly/Temp.bmp" ]; then
    echo "FAILED: no Temp.bmp in the user's cache"
    exit 1
fi
echo "passed"
