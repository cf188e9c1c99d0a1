#!/usr/bin/env bash
# Measures what the flush at the end of a run costs: a run that copied into a stick, an external
# drive or a share flushes that file system once (syncfs) before it says "Terminé".
#   stick: tandrel-cli copies a tree into an empty exFAT drive image (exfat-fuse on a loop
#          device, as a desktop mounts one); the peer "before" (BASELINE_CLI, a tandrel-cli
#          without the flush) does the same; after each run, `sync -f` shows what was left to
#          write (what the flush did, or what "before" left in memory when it said "Terminé").
#   disk:  the same copy into the ordinary disk of the benchmark folder, which is not flushed;
#          `sync -f` after it shows what a flush would cost there.
# Each round runs both tools in an order rotated from round to round, after a `sync` outside the
# timing; the first round is a warm-up and is dropped. Figures are medians.
#
# Usage: BASELINE_CLI=/path/to/older/tandrel-cli bench/syncfs.sh
# Environment: FILES (2000 files of 1-64 KiB, about 64 MB), ROUNDS (5), IMAGE_MIB (512),
#   BENCH_DIR (build-bench/syncfs). Needs root (loop devices) and /dev/fuse.
set -euo pipefail
shopt -s inherit_errexit
export LC_ALL=C
cd "$(dirname "$0")/.."
root=$PWD

files=${FILES:-2000}
rounds=${ROUNDS:-5}
image_mib=${IMAGE_MIB:-512}
work=${BENCH_DIR:-$root/build-bench/syncfs}
baseline=${BASELINE_CLI:?"BASELINE_CLI: a tandrel-cli without the flush, measured beside this one"}

say() { printf '%s\n' "$*" >&2; }
now() { printf '%s' "$EPOCHREALTIME"; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", b - a }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1}
  END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
fmt() { awk -v v="$1" 'BEGIN { printf "%.3f", v }'; }

./scripts/setup.sh >/dev/null
build=$root/build-bench
./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DTANDREL_BUILD_UI=OFF \
  -DTANDREL_BUILD_TESTS=OFF >/dev/null
cli=$build/bin/tandrel-cli
make_tree=$build/bin/make_tree
[[ -x $make_tree ]] || { mkdir -p "$build/bench-tools"; make_tree=$build/bench-tools/make_tree
  c++ -std=c++20 -O2 -o "$make_tree" bench/make_tree.cpp; }

rm -rf "$work"
mkdir -p "$work/app" "$work/disk"
app=$work/app
src=$work/src
mnt=$work/mnt
mkdir -p "$mnt"
loop=""
cleanup() {
  mountpoint -q "$mnt" && fusermount -u "$mnt"
  [[ -n $loop ]] && losetup -d "$loop" 2>/dev/null
  loop=""
}
trap 'cleanup; rm -rf "$work"' EXIT

"$cli" --app-dir "$app" list >/dev/null
"$make_tree" tree "$src" "$files"
sqlite3 "$app/Tandrel.mdb" "INSERT INTO Templates (Name, Description) VALUES ('Flush', '');
  INSERT INTO Actions (TemplateNo, Description, Enabled, FileFilter, FromFolder, ToFolder,
    InclSub, FileDate, FileSize, Operator)
  VALUES (last_insert_rowid(), '', 'OUI', '*.*', '$src', '$mnt', 'OUI', '>', '<>', 'OR');"
destination() { sqlite3 "$app/Tandrel.mdb" "UPDATE Actions SET ToFolder = '$1';"; }
total() { find "$1" -type f -printf '%s\n' | awk '{ n++; s += $1 } END { print n + 0, s + 0 }'; }
expected=$(total "$src")

fresh_drive() {
  rm -f "$work/drive.img"
  truncate -s "${image_mib}M" "$work/drive.img"
  mkfs.exfat "$work/drive.img" >/dev/null
  loop=$(losetup -f --show "$work/drive.img")
  mount.exfat-fuse "$loop" "$mnt" 2>/dev/null
}

# One timed copy by program into folder, then the time `sync -f` still takes there.
declare -A RUN SYNC
measure() { # key program folder
  destination "$3"
  sync
  local start end
  start=$(now)
  "$2" --app-dir "$app" run --quiet Flush >/dev/null
  end=$(now)
  RUN[$1]=$(elapsed "$start" "$end")
  sync -f "$3"
  SYNC[$1]=$(elapsed "$end" "$(now)")
  local got
  got=$(total "$3")
  [[ $got == "$expected" ]] || { say "COPY CHECK FAILED ($1): $got, not $expected"; exit 1; }
}

say "Tree: $expected (files, bytes); $rounds timed rounds + 1 warm-up..."
for ((r = 0; r <= rounds; r++)); do
  for tool in $( ((r % 2)) && echo "before tandrel" || echo "tandrel before"); do
    program=$cli
    [[ $tool == before ]] && program=$baseline
    fresh_drive
    measure "stick:$tool:$r" "$program" "$mnt"
    cleanup
    mkdir "$work/disk/$tool.$r"
    measure "disk:$tool:$r" "$program" "$work/disk/$tool.$r"
  done
done

cell() { # where tool what
  local values=() r
  for ((r = 1; r <= rounds; r++)); do
    case $3 in
      run) values+=("${RUN[$1:$2:$r]}") ;;
      sync) values+=("${SYNC[$1:$2:$r]}") ;;
      ratio) values+=("$(awk -v a="${RUN[$1:tandrel:$r]}" -v b="${RUN[$1:before:$r]}" \
        'BEGIN { print a / b }')") ;;
    esac
  done
  fmt "$(median "${values[@]}")"
}
printf 'Flush at the end of a run, %s, commit %s; %s files, %s bytes\n' "$(date '+%Y-%m-%d %H:%M')" \
  "$(git rev-parse --short HEAD)" $expected
printf '  %-34s %12s %16s %18s\n' where "tandrel s" "before s" "tandrel / before"
for where in stick disk; do
  printf '  %-34s %12s %16s %18s\n' "$where: copy" "$(cell "$where" tandrel run)" \
    "$(cell "$where" before run)" "$(cell "$where" x ratio)"
  printf '  %-34s %12s %16s\n' "$where: sync -f after the copy" "$(cell "$where" tandrel sync)" \
    "$(cell "$where" before sync)"
done
