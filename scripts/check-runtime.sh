#!/usr/bin/env bash
# Shows that a classroom PC with nothing installed but the libraries it brings itself
# (cmake/system-libraries.txt) runs the programs of an installed repository:
#   - builds a minimal Debian 12 root (debootstrap --variant=minbase) and adds only those libraries
#     and a CJK font, from the Debian mirror this machine's apt uses;
#   - installs the repository into it, with the demo data;
#   - starts each program in the root on an Xvfb display of this machine, checks that its first
#     window shows, and keeps a screenshot of it;
#   - runs ldd in the root on every program, library and plugin of the repository: nothing may be
#     missing, and nothing may come from outside the repository but the listed libraries and what
#     they need themselves.
# Not part of the tests: it needs root and a few minutes. The root is kept for the next run.
#
# Usage: scripts/check-runtime.sh [build folder, default build/default]
set -euo pipefail
cd "$(dirname "$0")/.."
project="$PWD"
build="$(realpath -m "${1:-build/default}")"
[ "$(id -u)" -eq 0 ] || { echo "check-runtime.sh needs root (debootstrap, chroot, mount)" >&2; exit 1; }

work="$build/runtime-check"
rootfs="$work/debian12"
repo=/srv/exam                      # the repository's place inside the root
system_list="$project/cmake/system-libraries.txt"
font_package=fonts-wqy-microhei
mkdir -p "$work"

echo "== tools"
tools=(debootstrap xvfb x11-apps x11-utils netpbm)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The first Debian 12 main archive this machine's apt is set up with (deb822 or one-line form).
mirror() {
  local uri=""
  if compgen -G "/etc/apt/sources.list.d/*.sources" >/dev/null; then
    uri=$(awk '/^URIs:/ {u = $2} /^Suites:/ {for (i = 2; i <= NF; i++) if ($i == "bookworm") {print u; exit}}' \
          /etc/apt/sources.list.d/*.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(sed -E 's/\[[^]]*\]//' /etc/apt/sources.list | awk '$1 == "deb" && $3 == "bookworm" {print $2; exit}')
  fi
  [ -n "$uri" ] || { echo "no Debian 12 (bookworm) archive in /etc/apt" >&2; exit 1; }
  echo "$uri"
}

packages=$( (grep -v '^#' "$system_list" | awk 'NF {print $2}'; echo "$font_package") | sort -u | tr '\n' ' ')
if [ ! -f "$rootfs/.packages" ] || [ "$(cat "$rootfs/.packages")" != "$packages" ]; then
  echo "== minimal Debian 12 root in $rootfs"
  rm -rf "$rootfs"
  debootstrap --variant=minbase bookworm "$rootfs" "$(mirror)" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log"; exit 1; }
  chroot "$rootfs" apt-get update -qq
  # shellcheck disable=SC2086 # one word per package
  DEBIAN_FRONTEND=noninteractive chroot "$rootfs" apt-get install -y -qq --no-install-recommends $packages \
    >"$work/apt.log" 2>&1 || { tail -20 "$work/apt.log"; exit 1; }
  chroot "$rootfs" apt-get clean
  echo "$packages" >"$rootfs/.packages"
fi
echo "Added to minbase: $packages"

echo "== install"
targets=(proctor candidate make-demo)
ninja -C "$build" -t targets all 2>/dev/null | grep -q '^examtool:' && targets+=(examtool)
ninja -C "$build" -t targets all 2>/dev/null | grep -q '^exam_help_chm:' && targets+=(exam_help_chm)
cmake --build "$build" --target "${targets[@]}" >/dev/null
rm -rf "${rootfs:?}$repo"
cmake --install "$build" --prefix "$rootfs$repo" | grep -v -e '^-- Installing' -e '^-- Up-to-date'
"$build/tools/make-demo" "$rootfs$repo" >/dev/null 2>&1
echo "Runtime in the repository: $(du -sh --apparent-size "$rootfs$repo/lib" | cut -f1) lib/," \
     "$(du -sh --apparent-size "$rootfs$repo/plugins" | cut -f1) plugins/," \
     "$(du -ch --apparent-size "$rootfs$repo/lib" "$rootfs$repo/plugins" "$rootfs$repo/qt.conf" | tail -1 | cut -f1) in all"

display=""
xvfb_pid=""
programs_pids=()
cleanup() {
  for pid in "${programs_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  for m in tmp/.X11-unix dev proc; do
    mountpoint -q "$rootfs/$m" && umount -l "$rootfs/$m"
  done
  return 0
}
trap cleanup EXIT

mount -t proc proc "$rootfs/proc"
mount --bind /dev "$rootfs/dev"
for n in $(seq 90 99); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
mkdir -p "$rootfs/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$rootfs/tmp/.X11-unix"

failed=0

# Starts <program> in the root and waits for a top-level window whose name holds <title>.
check_window() {
  local program="$1" title="$2" log="$work/$1.log" shot="$work/$1.png"
  echo "== $program"
  chroot "$rootfs" /usr/bin/env -i DISPLAY="$display" HOME=/root LANG=C.UTF-8 \
    XDG_RUNTIME_DIR="/tmp/runtime-$program" sh -c \
    "mkdir -p -m 700 /tmp/runtime-$program && exec $repo/$program" >"$log" 2>&1 &
  local pid=$!
  programs_pids+=("$pid")
  local shown=""
  for _ in $(seq 150); do
    if DISPLAY="$display" xwininfo -root -tree 2>/dev/null | grep -q "$title"; then shown=yes; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  sleep 1 # let it paint
  DISPLAY="$display" xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$shot"
  if [ -n "$shown" ]; then
    echo "window \"$title\" shown; screenshot $shot"
  else
    echo "FAILED: no window \"$title\"; its output:"; cat "$log"; failed=1
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

check_window candidate "考试登录"
check_window proctor "教师端"

echo "== ldd in the root"
mapfile -t system_names < <(grep -v '^#' "$system_list" | awk 'NF {print $1}')
declare -A outside=()      # soname => path, for everything resolved outside the repository
while IFS= read -r -d '' file; do
  file --brief "$file" | grep -q '^ELF' || continue
  inside="${file#"$rootfs"}"
  while read -r name arrow path _; do
    [ "$arrow" = "=>" ] || continue
    if [ "$path" = "not" ]; then
      echo "FAILED: $inside needs $name, which is not found"; failed=1
    elif [[ "$path" != "$repo/"* ]]; then
      outside[$name]="$path"
    fi
  done < <(chroot "$rootfs" ldd "$inside")
done < <(find "$rootfs$repo" -maxdepth 1 -type f -perm -u+x -print0; find "$rootfs$repo/lib" "$rootfs$repo/plugins" -name '*.so*' -type f -print0)

# What the listed libraries need in turn comes from the PC as well.
declare -A allowed=()
for name in "${system_names[@]}"; do allowed[$name]=listed; done
for name in "${!outside[@]}"; do
  [ "${allowed[$name]:-}" = listed ] || continue
  while read -r dep arrow _; do
    [ "$arrow" = "=>" ] && [ -z "${allowed[$dep]:-}" ] && allowed[$dep]="needed by $name"
  done < <(chroot "$rootfs" ldd "${outside[$name]}")
done
for name in $(printf '%s\n' "${!outside[@]}" | sort); do
  path="${outside[$name]}"
  package=""
  for candidate_path in "$path" "/usr$path" "${path#/usr}"; do   # /lib is /usr/lib on Debian 12
    package=$(chroot "$rootfs" dpkg -S "$candidate_path" 2>/dev/null | cut -d: -f1 | head -1) || true
    [ -z "$package" ] || break
  done
  if [ -n "${allowed[$name]:-}" ]; then
    printf '  %-28s %-22s %s\n' "$name" "$package" "${allowed[$name]}"
  else
    printf '  %-28s %-22s FAILED: neither listed nor needed by a listed library\n' "$name" "$package"
    failed=1
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "== runtime check FAILED"
  exit 1
fi
echo "== runtime check passed: both programs ran on a Debian 12 minbase root with only the listed libraries"
