#!/usr/bin/env bash
# Builds the Debian package from the build tree $1, extracts it into a scratch
# root and starts the programs from there as a user with an empty home: an
# installed program must find its shipped defaults and make its per-user
# program folder from them, without root and without writing beside itself.
set -euo pipefail
build="$1"
# cpack's Debian generator needs dpkg-deb, and dpkg-shlibdeps and file for the Depends list
for tool in dpkg-deb dpkg-shlibdeps file cpack; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool not found: package test skipped"
    exit 77
  fi
done
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! (cd "$build" && cpack -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log" >&2
  fail "cpack"
fi
debs=("$scratch"/out/dcx700-comm_*_*.deb)
[ -f "${debs[0]}" ] || fail "no dcx700-comm_<version>_<arch>.deb in $(ls "$scratch/out")"
deb="${debs[0]}"
echo "package: $(basename "$deb")"

# --- what the package holds -----------------------------------------------------
dpkg-deb -c "$deb" | sed -e 's/^.* \.\//\//' >"$scratch/contents"
share=/usr/share/dcx700-comm
for f in /usr/bin/dcx700-comm /usr/bin/dcx700ctl /usr/bin/dcx700-sim \
         "$share/DCX700 Comm.ini" "$share/DCX700 Comm.html" "$share/AVG_DEP.OC2" "$share/DEV_DEP.OC2" \
         "$share/PWR_DEP.OC2" "$share/CH_DEP.OC2" /usr/share/applications/dcx700-comm.desktop \
         /usr/share/icons/hicolor/scalable/apps/dcx700-comm.svg /usr/lib/udev/rules.d/60-dcx700.rules \
         /usr/share/man/man1/dcx700ctl.1.gz /usr/share/man/man1/dcx700-sim.1.gz \
         /usr/share/doc/dcx700-comm/copyright /usr/share/doc/dcx700-comm/examples/grafana-dcx700.json \
         /usr/share/doc/dcx700-comm/examples/prometheus-dcx700.yml; do
  grep -qxF "$f" "$scratch/contents" || fail "$f is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for p in libqt6core6 libqt6widgets6 libqt6network6 libqt6serialport6 libqt6sql6 libqt6sql6-sqlite \
         libqcustomplot2.1-qt6 qt6-qpa-plugins; do
  [[ ", $depends," == *", $p "* || ", $depends," == *", $p,"* ]] || fail "Depends lacks $p: $depends"
done
dpkg-deb -x "$deb" "$scratch/root"
# every picture of the user guide is shipped beside it
guide="$scratch/root$share/DCX700 Comm.html"
pictures="$(grep -o 'src="[^"]*"' "$guide" | sed -e 's/^src="//' -e 's/"$//')"
[ -n "$pictures" ] || fail "the user guide shows no pictures"
for p in $pictures; do
  [ -f "$scratch/root$share/$p" ] || fail "the user guide's picture $p is not in the package"
done
grep -q '^Exec=dcx700-comm$' "$scratch/root/usr/share/applications/dcx700-comm.desktop" || fail "desktop entry"
grep -q 'ATTRS{idVendor}=="10c4", ATTRS{idProduct}=="8292".*GROUP="dialout"' \
  "$scratch/root/usr/lib/udev/rules.d/60-dcx700.rules" || fail "udev rule"

# --- the programs, started from the scratch root --------------------------------
bin="$scratch/root/usr/bin"
unset XDG_DATA_HOME XDG_CONFIG_HOME
export XDG_RUNTIME_DIR="$scratch/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=offscreen

# A first start of the command-line tool makes the whole per-user folder.
export HOME="$scratch/home1"
mkdir "$HOME"
"$bin/dcx700ctl" --help >"$scratch/ctl-help.txt" || fail "dcx700ctl --help exit status $?"
grep -q '^usage: dcx700ctl' "$scratch/ctl-help.txt" || fail "dcx700ctl --help prints no usage"
"$bin/dcx700-sim" --help >/dev/null || fail "dcx700-sim --help exit status $?"
user="$HOME/.local/share/dcx700-comm"
for f in "DCX700 Comm.ini" "DCX700 Comm.html" AVG_DEP.OC2 DEV_DEP.OC2 PWR_DEP.OC2 CH_DEP.OC2 guide/main.png; do
  cmp -s "$scratch/root$share/$f" "$user/$f" || fail "$user/$f is not the shipped default"
done
[ -w "$user/DCX700 Comm.ini" ] || fail "the per-user INI is not writable"

# The desktop program on a home whose folder already holds the user's INI
# (Ethernet to a closed loopback port, so nothing answers): the INI is kept,
# what is missing is added, and the picture is saved.
export HOME="$scratch/home2"
user="$HOME/.local/share/dcx700-comm"
mkdir -p "$user"
printf '[CommSettings]\r\nType=2\r\nEAddress=127.0.0.1\r\nEPort=9\r\n' >"$user/DCX700 Comm.ini"
timeout 60 "$bin/dcx700-comm" --screenshot "$scratch/shot.png" >"$scratch/gui.log" 2>&1 ||
  { cat "$scratch/gui.log" >&2; fail "dcx700-comm --screenshot exit status"; }
[ "$(head -c 8 "$scratch/shot.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "no PNG picture from --screenshot"
grep -q '^EAddress=127.0.0.1' "$user/DCX700 Comm.ini" || fail "the user's INI was replaced"
for f in "DCX700 Comm.html" AVG_DEP.OC2 CH_DEP.OC2; do
  [ -f "$user/$f" ] || fail "$f was not added to $user"
done
[ -z "$(find "$scratch/root" -newer "$deb" -type f)" ] || fail "files written into the installed tree"
echo "package test passed"
