#!/usr/bin/env bash
# The Debian package test: packaging/CheckPackage.sh BUILD_DIR [DEB]
# Without DEB, makes the package of the build tree BUILD_DIR with cpack (into
# BUILD_DIR/package-check). Then checks its name, version, dependencies and files, unpacks
# it into a throw-away root (dpkg-deb -x), runs the installed qm48ctl there, checks that the
# manual page and the bash completion know every command and option qm48ctl --help lists,
# and removes the root again. Exit 77 (a skip for CTest) where dpkg-deb is missing.
set -euo pipefail
build=$(cd "${1:?usage: CheckPackage.sh BUILD_DIR [DEB]}" && pwd)
deb=${2:-}

if ! command -v dpkg-deb >/dev/null; then
  echo "SKIP: dpkg-deb not found (not a Debian system): the package is not built or tested"
  exit 77
fi

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$build/package-check
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work/root" "$work/run"' EXIT

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
if [ -z "$deb" ]; then
  command -v dpkg-shlibdeps >/dev/null ||
    { echo "FAIL: dpkg-shlibdeps not found: install dpkg-dev (scripts/deps does)" >&2; exit 1; }
  cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
  deb=$work/qm48_${version}-1_${arch}.deb
  [ -f "$deb" ] || { ls "$work" >&2; echo "FAIL: cpack made no $(basename "$deb")" >&2; exit 1; }
fi
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
[ "$(basename "$deb")" = "qm48_${version}-1_${arch}.deb" ] || fail "file name $(basename "$deb")"

# ---- control fields: the version of the build, dependencies from dpkg-shlibdeps.
[ "$(dpkg-deb -f "$deb" Package)" = qm48 ] || fail "Package: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "${version}-1" ] || fail "Version: $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
listing=$(dpkg-deb -c "$deb")
gui=0
grep -q ' \./usr/bin/qm48$' <<<"$listing" && gui=1
needed=(libc6 libstdc++6)
[ $gui -eq 1 ] && needed+=(libqt6widgets6)
for lib in "${needed[@]}"; do
  [[ ", $depends" == *", $lib "* ]] || fail "Depends lacks $lib"
done

# ---- the files a user needs, where Debian looks for them.
files=(usr/bin/qm48ctl usr/share/man/man1/qm48ctl.1.gz
       usr/share/bash-completion/completions/qm48ctl usr/share/doc/qm48/README.md
       usr/share/doc/qm48/copyright usr/share/doc/qm48/changelog.Debian.gz
       usr/share/doc/qm48/docs/FIRST.QM48 usr/share/lintian/overrides/qm48)
if [ $gui -eq 1 ]; then
  files+=(usr/share/man/man1/qm48.1.gz usr/share/applications/qm48.desktop
          usr/share/icons/hicolor/scalable/apps/qm48.svg)
  for size in 16 24 32 48 64 128 256; do
    files+=("usr/share/icons/hicolor/${size}x${size}/apps/qm48.png")
  done
fi
root=$work/root
dpkg-deb -x "$deb" "$root"
for f in "${files[@]}"; do
  [ -f "$root/$f" ] || fail "not in the package: /$f"
done
# Nothing outside /usr, and no file writable by others.
outside=$(awk '{print $6}' <<<"$listing" | grep -v '^\./usr/\|^\./$\|^\./usr$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
! grep -q '^........w' <<<"$listing" || fail "a file writable by others"

# Every library the programs need is on this machine (what Depends promises elsewhere).
for program in "$root"/usr/bin/*; do
  missing=$(ldd "$program" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$(basename "$program") needs: $missing"
done

# ---- the installed program runs from there, on the example setup it brings.
ctl=$root/usr/bin/qm48ctl
run=$work/run
mkdir -p "$run"
help=$(cd "$run" && "$ctl" --help) || fail "installed qm48ctl --help exits $?"
[[ $help == "usage: qm48ctl <command> [options]"* ]] || fail "qm48ctl --help: $help"
[ "$help" = "$(cd "$run" && "$build/qm48ctl" --help)" ] || fail "installed --help differs from the build's"
example=$root/usr/share/doc/qm48/docs/FIRST.QM48
[ "$(cd "$run" && "$ctl" validate "$example")" = OK ] || fail "validate of the example setup"
stream=$(cd "$run" && "$ctl" stream "$example") || fail "installed qm48ctl stream exits $?"
# A load starts with a reset and a halt; the whole stream is the build's own, byte for byte.
[ "$(printf '%s\n' "$stream" | head -n 2)" = $'0 R\n0 N' ] || fail "stream starts: ${stream:0:40}"
[ "$stream" = "$(cd "$run" && "$build/qm48ctl" stream "$example")" ] ||
  fail "installed stream differs from the build's"
(cd "$run" && "$ctl" save-default fresh.QM48 && "$ctl" stream --transmitter fresh.QM48 >/dev/null) ||
  fail "save-default and stream --transmitter in a fresh directory"

# ---- every command and option of --help is in the manual page and the completion.
zcat "$root/usr/share/man/man1/qm48ctl.1.gz" >"$work/qm48ctl.1"
completion=$root/usr/share/bash-completion/completions/qm48ctl
commands=$(printf '%s\n' "$help" | sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
options=$(printf '%s\n' "$help" | grep -o -- '--[a-z][a-z0-9-]*' | sort -u)
for c in $commands; do
  grep -q "^\.SS ${c//-/\\\\-}\$" "$work/qm48ctl.1" || fail "qm48ctl(1) has no section for $c"
done
for o in $options; do
  grep -qF -- "${o//-/\\-}" "$work/qm48ctl.1" || fail "qm48ctl(1) does not mention $o"
done
# The completion, as an interactive shell runs it: COMP_WORDS up to the cursor.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _qm48ctl
           printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
offered=$(complete_words qm48ctl "")
for c in $commands; do
  grep -qx -- "$c" <<<"$offered" || fail "completion does not offer the command $c"
done
for c in $commands; do
  for o in $(printf '%s\n' "$help" | sed -n "/^  $c\\b/,/^  [a-z]/p" | sed '$d' | sed -n '1,2p' |
             grep -o -- '--[a-z][a-z0-9-]*' | sort -u); do
    grep -qx -- "$o" <<<"$(complete_words qm48ctl "$c" --)" ||
      fail "completion does not offer $o after $c"
  done
done
mkdir "$run/files"
touch "$run/files/a.QM48" "$run/files/b.qm48" "$run/files/notes.txt"
[ "$(cd "$run/files" && complete_words qm48ctl validate "" | sort | tr '\n' ' ')" = "a.QM48 b.qm48 " ] ||
  fail "completion of a setup FILE: $(cd "$run/files" && complete_words qm48ctl validate "")"
[ "$(complete_words qm48ctl decom --code NRZ | tr '\n' ' ')" = "NRZL NRZM NRZS " ] ||
  fail "completion of decom --code NRZ"

# ---- the manual pages render without warnings where man is installed.
if command -v man >/dev/null; then
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  done
else
  echo "note: man not installed, the manual pages were not rendered"
fi
if [ $gui -eq 1 ] && command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/qm48.desktop" || fail "desktop entry"
fi

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package test passed: $(wc -l <<<"$listing") entries, installed and run from $root"
