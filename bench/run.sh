#!/usr/bin/env bash
# Measures tandrel-cli against rsync, cp and the limit program (bench/limit.cpp) on a generated
# tree of 30,000 files of 1-64 KiB in 1,111 folders (about 1 GB), origin and destination on
# the same file system:
#   (a) nothing changed since the last run   tandrel run --quiet | rsync -rt | cp -ru | limit stat
#   (b) empty destination (first copy)       tandrel | cp -r --preserve=timestamps | rsync -rt
#                                            | limit copy (copy_file_range + futimens)
#   (c) one 2 GiB file                        the same four copies
# and, with the destination on slowfs (bench/slowfs.cpp: SLOW_MS per metadata call, as a share):
#   (sa) nothing changed   tandrel | rsync -rt | limit stat (serial) | limit stat on as many
#                          threads as tandrel probes with
#   (sb) empty destination tandrel | rsync -rt | limit copy (serial)
# Each round runs every tool once, in an order rotated from round to round, after a `sync`
# outside the timing; the first round is a warm-up and is dropped. Figures are medians of the
# per-round ratios. Every copy is checked afterwards (names, sizes, modification times).
# Parts a, b, c take 5 to 10 minutes and about 30 GB of disk; not part of the tests. On slowfs
# rsync takes minutes a run with 30,000 files (ROUNDS_SLOW defaults to 1 timed round).
#
# Usage: bench/run.sh
# Environment: ROUNDS_A (default 11), ROUNDS_B (5), ROUNDS_C (3): timed rounds of each part;
#   FILES (30000); MAX_BYTES (files of 0 to MAX_BYTES bytes instead of 1-64 KiB);
#   BIG_MIB (2048); BENCH_DIR (build-bench/work); BENCH_BUILD (build-bench: the build measured);
#   PARTS ("a c b"; "sa sb" for slowfs; "c" alone makes no tree of small files);
#   COLD (0; 1: part c empties the page cache before each copy, as root through
#   /proc/sys/vm/drop_caches, else by posix_fadvise DONTNEED on the origin file; as root the
#   programs' own libraries leave the cache too: tandrel-cli then starts in 60-70 ms, reading
#   Qt, ICU and SQLite back, against about 8 ms warm and 1 ms for cp);
#   C_DEST (BENCH_DIR: where part c's copies go; a folder on another file system, say
#   /dev/shm, measures the plain read/write copy that a copy to another disk makes);
#   SLOW_MS (1), ROUNDS_SLOW (1), SLOW_THREADS (16: the probing threads of tandrel on a share);
#   SLOW_LIMITS ("limit plimit": the limit programs measured on slowfs, "" for none);
#   WARMUP (1; 0: no warm-up round, for the slowfs parts where one round takes half an hour);
#   TOOLS ("limit cp rsync": the peers measured beside tandrel);
#   BASELINE_CLI (another tandrel-cli, say an older build, measured as the peer "before").
# For a million small files against rsync alone:
#   FILES=1000000 MAX_BYTES=2048 PARTS="a b" ROUNDS_A=3 ROUNDS_B=2 TOOLS=rsync bench/run.sh
set -euo pipefail
shopt -s inherit_errexit
export LC_ALL=C # decimal point in $EPOCHREALTIME and awk
cd "$(dirname "$0")/.."
root=$PWD

rounds_a=${ROUNDS_A:-11}
rounds_b=${ROUNDS_B:-5}
rounds_c=${ROUNDS_C:-3}
files=${FILES:-30000}
max_bytes=${MAX_BYTES:-}
read -r -a peers <<<"${TOOLS:-limit cp rsync}"
[[ -n ${BASELINE_CLI:-} ]] && peers=(before "${peers[@]}")
order=(tandrel "${peers[@]}")
big_mib=${BIG_MIB:-2048}
cold=${COLD:-0}
c_dest=${C_DEST:-}
slow_ms=${SLOW_MS:-1}
rounds_slow=${ROUNDS_SLOW:-1}
slow_threads=${SLOW_THREADS:-16}
read -r -a slow_limits <<<"${SLOW_LIMITS-limit plimit}"
first_round=$((1 - ${WARMUP:-1}))
parts=${PARTS:-a c b}
build=${BENCH_BUILD:-$root/build-bench}
work=${BENCH_DIR:-$build/work}

say() { printf '%s\n' "$*" >&2; }

# --- tools -------------------------------------------------------------------------------------
./scripts/setup.sh >/dev/null
# An optimised build of its own, whatever build/ was configured with.
./scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DTANDREL_BUILD_UI=OFF \
  -DTANDREL_BUILD_TESTS=OFF >/dev/null
cli=$build/bin/tandrel-cli
tools=$build/bin
if [[ $parts == *s* && ! -x $tools/slowfs ]]; then
  say "slowfs was not built (libfuse3-dev missing?)"
  exit 1
fi
if [[ ! -x $tools/limit || ! -x $tools/make_tree ]]; then
  # bench/ not (yet) part of the CMake build: compile the two helpers directly.
  tools=$build/bench-tools
  mkdir -p "$tools"
  for program in limit make_tree; do
    c++ -std=c++20 -O2 -Wall -Wextra -o "$tools/$program" "bench/$program.cpp"
  done
fi
limit=$tools/limit

# --- helpers -----------------------------------------------------------------------------------
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1}
  END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", a / b }'; }
fmt() { awk -v v="$1" -v d="${2:-3}" 'BEGIN { printf("%." d "f", v) }'; }
sql() { sqlite3 "$app/Tandrel.mdb" "$1"; }
quote() { printf "'%s'" "${1//\'/\'\'}"; }
free_kib() { df -Pk "$work" | awk 'NR == 2 { print $4 }'; }

# Runs a command after a sync; prints its wall-clock time in seconds.
timed() {
  sync
  local start=$EPOCHREALTIME
  if ! "$@" >/dev/null; then
    say "FAILED: $*"
    return 1
  fi
  local end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}

# Stores a project of one action "*.*" (sizes "<>", dates ">", enabled, operator OR).
add_project() { # name from to inclsub
  sql "INSERT INTO Templates (Name, Description) VALUES ($(quote "$1"), 'banc d''essai');
       INSERT INTO Actions (TemplateNo, Description, Enabled, FileFilter, FromFolder, ToFolder,
                            InclSub, FileDate, FileSize, Operator)
       VALUES (last_insert_rowid(), '', 'OUI', '*.*', $(quote "$2"), $(quote "$3"), '$4', '>',
               '<>', 'OR');"
}
set_destination() { # project folder
  sql "UPDATE Actions SET ToFolder = $(quote "$2") WHERE TemplateNo =
         (SELECT TemplateNo FROM Templates WHERE Name = $(quote "$1"));"
}
tandrel() { "$cli" --app-dir "$app" run --quiet "$1"; }
before() { "$BASELINE_CLI" --app-dir "$app" run --quiet "$1"; }

verify() { # origin destination what
  local result
  if ! result=$("$limit" verify "$1" "$2" 2>&1); then
    say "COPY CHECK FAILED ($3): $result"
    exit 1
  fi
}

# Prints the table of one part from the times in T["tool:round"], tandrel first.
report() { # title rounds tool...
  local title=$1 rounds=$2
  shift 2
  local tools_shown=("$@") t r
  local warmup="warm-up dropped"
  [[ $title == "(s"* && $first_round == 1 ]] && warmup="no warm-up"
  printf '\n%s: %d timed rounds, %s; load at the end %s\n' "$title" "$rounds" "$warmup" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
  printf '  %-28s %10s %24s\n' tool "median s" "tandrel / tool (median)"
  for t in "${tools_shown[@]}"; do
    local times=() ratios=()
    for ((r = 1; r <= rounds; r++)); do
      times+=("${T[$t:$r]}")
      ratios+=("$(ratio "${T[tandrel:$r]}" "${T[$t:$r]}")")
    done
    local m
    m=$(median "${ratios[@]}")
    R[$title:$t]=$m
    if [[ $t == tandrel ]]; then
      printf '  %-28s %10s\n' "${NAME[$t]}" "$(fmt "$(median "${times[@]}")")"
    else
      printf '  %-28s %10s %24s\n' "${NAME[$t]}" "$(fmt "$(median "${times[@]}")")" "$(fmt "$m" 2)"
    fi
  done
}

# Prints whether the median ratio of tandrel to a tool met its goal (when the tool was measured).
goal() { # title tool most
  local v=${R["$1:$2"]:-}
  [[ -z $v ]] && return 0
  printf '  goal tandrel <= %s x %s: %s (%s)\n' "$3" "$2" "$(fmt "$v" 2)" \
    "$(awk -v v="$v" -v g="$3" 'BEGIN { print v <= g ? "met" : "NOT MET" }')"
}

declare -A T R NAME

# --- the trees ---------------------------------------------------------------------------------
if [[ -e $work ]]; then
  say "Removing $work left by an earlier run (file creation may be slower for a few minutes)."
  rm -rf "$work"
fi
mkdir -p "$work"
trap 'say "Leaving $work in place: remove it with rm -rf when done."' ERR
slow=$work/slow
unmount_slow() { if mountpoint -q "$slow"; then fusermount3 -u "$slow"; fi; }
trap unmount_slow EXIT
app=$work/app
src=$work/src
mkdir -p "$app"
"$cli" --app-dir "$app" list >/dev/null # creates an empty Tandrel.mdb

printf 'Tandrel benchmark, %s, commit %s\n' "$(date '+%Y-%m-%d %H:%M')" \
  "$(git rev-parse --short HEAD 2>/dev/null || echo '?')"
printf '%s; %s CPUs; %s on %s; load %s\n' "$(uname -sr)" "$(nproc)" \
  "$(df -PT "$work" | awk 'NR == 2 { print $2 }')" "$work" "$(cut -d' ' -f1-3 /proc/loadavg)"
if [[ $parts != c ]]; then # part c alone needs no tree
  say "Generating $files files in 1,111 folders..."
  start=$EPOCHREALTIME
  "$tools/make_tree" tree "$src" "$files" $max_bytes
  sync
  say "  done in $(fmt "$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')" 1) s"
  printf 'Tree: %s files, %s folders, %s; %s; %s\n' "$files" \
    "$(find "$src" -type d | wc -l)" "$(du -sh "$src" | cut -f1)" \
    "$(rsync --version | head -1 | awk '{ print "rsync " $3 }')" "$(cp --version | head -1)"
fi

# Fast only counts when it is right: every tandrel run found nothing to copy.
check_unchanged() { # project runs part
  local unchanged
  unchanged=$(grep -c "Total copié = 0 Fichiers" "$app/$1.log" || true)
  if ((unchanged != $2)); then
    say "CHECK FAILED ($3): $unchanged of $2 tandrel runs copied nothing"
    exit 1
  fi
}

# --- (a) nothing changed -----------------------------------------------------------------------
part_a() {
  local dst=$work/a-destination
  "$limit" copy "$src" "$dst"
  verify "$src" "$dst" "a: preparation"
  add_project BenchA "$src" "$dst" OUI
  NAME=([tandrel]="tandrel-cli run --quiet" [limit]="limit stat (readdir + 2 stat)"
    [cp]="cp -ru" [rsync]="rsync -rt" [before]="tandrel-cli before")
  local n=${#order[@]} r i t runs=0
  say "(a) nothing changed: $((rounds_a + 1)) rounds..."
  for ((r = 0; r <= rounds_a; r++)); do
    for ((i = 0; i < n; i++)); do
      t=${order[$(((r + i) % n))]}
      case $t in
        tandrel) T[$t:$r]=$(timed tandrel BenchA); runs=$((runs + 1)) ;;
        before) T[$t:$r]=$(timed before BenchA); runs=$((runs + 1)) ;;
        limit) T[$t:$r]=$(timed "$limit" stat "$src" "$dst") ;;
        cp) T[$t:$r]=$(timed cp -ru "$src/." "$dst/") ;;
        rsync) T[$t:$r]=$(timed rsync -rt "$src/" "$dst/") ;;
      esac
    done
  done
  verify "$src" "$dst" "a: after the rounds"
  check_unchanged BenchA "$runs" a
  report "(a) nothing changed" "$rounds_a" "${order[@]}"
  local rss_tandrel rss_rsync
  rss_tandrel=$(/usr/bin/time -f %M "$cli" --app-dir "$app" run --quiet BenchA 2>&1 >/dev/null)
  rss_rsync=$(/usr/bin/time -f %M rsync -rt "$src/" "$dst/" 2>&1 >/dev/null)
  A_RSS="$rss_tandrel KiB (rsync -rt: $rss_rsync KiB)"
  printf '  peak memory (max RSS): tandrel-cli %s\n' "$A_RSS"
  goal "(a) nothing changed" rsync 0.5
  goal "(a) nothing changed" limit 1.5
}

# --- (b) empty destination ---------------------------------------------------------------------
part_b() {
  local need_kib per_copy_kib
  per_copy_kib=$(du -sk "$src" | cut -f1)
  need_kib=$((per_copy_kib * (${#order[@]} * (rounds_b + 1) + 1) * 21 / 20))
  if (($(free_kib) < need_kib)); then
    printf '\n(b) empty destination: skipped, %s GiB free and %s GiB needed\n' \
      "$(($(free_kib) >> 20))" "$((need_kib >> 20))"
    return
  fi
  add_project BenchB "$src" "$work/b-unused" OUI
  NAME=([tandrel]="tandrel-cli run --quiet" [limit]="limit copy (copy_file_range)"
    [cp]="cp -r --preserve=timestamps" [rsync]="rsync -rt" [before]="tandrel-cli before")
  local n=${#order[@]} r i t dst
  mkdir -p "$work/b"
  say "(b) empty destination: $((rounds_b + 1)) rounds, each copy into a new folder..."
  for ((r = 0; r <= rounds_b; r++)); do
    for ((i = 0; i < n; i++)); do
      t=${order[$(((r + i) % n))]}
      dst=$work/b/$t.$r
      mkdir "$dst"
      case $t in
        tandrel) set_destination BenchB "$dst"; T[$t:$r]=$(timed tandrel BenchB) ;;
        before) set_destination BenchB "$dst"; T[$t:$r]=$(timed before BenchB) ;;
        limit) T[$t:$r]=$(timed "$limit" copy "$src" "$dst") ;;
        cp) T[$t:$r]=$(timed cp -r --preserve=timestamps "$src/." "$dst/") ;;
        rsync) T[$t:$r]=$(timed rsync -rt "$src/" "$dst/") ;;
      esac
      verify "$src" "$dst" "b: $t, round $r"
    done
  done
  report "(b) empty destination" "$rounds_b" "${order[@]}"
  dst=$work/b/rss
  mkdir "$dst"
  set_destination BenchB "$dst"
  sync
  B_RSS=$(/usr/bin/time -f %M "$cli" --app-dir "$app" run --quiet BenchB 2>&1 >/dev/null)
  verify "$src" "$dst" "b: memory run"
  printf '  peak memory (max RSS): tandrel-cli %s KiB\n' "$B_RSS"
}

# --- (c) one big file --------------------------------------------------------------------------
empty_cache() { # file
  sync
  if [[ -w /proc/sys/vm/drop_caches ]]; then
    echo 3 >/proc/sys/vm/drop_caches
  else
    dd if="$1" iflag=nocache count=0 status=none
  fi
}

part_c() {
  local need_kib=$((big_mib * 1024 * 21 / 10))
  if (($(free_kib) < need_kib)); then
    printf '\n(c) one %s MiB file: skipped, %s MiB free and %s MiB needed\n' "$big_mib" \
      "$(($(free_kib) >> 10))" "$((need_kib >> 10))"
    return
  fi
  local big=$work/big
  mkdir "$big"
  say "(c) one $big_mib MiB file: writing it..."
  "$tools/make_tree" file "$big/gros fichier.bin" "$big_mib"
  add_project BenchC "$big" "$work/c-unused" NON
  NAME=([tandrel]="tandrel-cli run --quiet" [limit]="limit copy (copy_file_range)"
    [cp]="cp --preserve=timestamps" [rsync]="rsync -rt" [before]="tandrel-cli before")
  local n=${#order[@]} r i t dst
  local cache="page cache filled"
  ((cold)) && cache="page cache emptied before each copy"
  [[ -n $c_dest ]] && cache+=", copies into $c_dest"
  say "(c) $((rounds_c + 1)) rounds, $cache..."
  for ((r = 0; r <= rounds_c; r++)); do
    for ((i = 0; i < n; i++)); do
      t=${order[$(((r + i) % n))]}
      dst=${c_dest:-$work}/c-$t.$r
      mkdir "$dst"
      ((cold)) && empty_cache "$big/gros fichier.bin"
      case $t in
        tandrel) set_destination BenchC "$dst"; T[$t:$r]=$(timed tandrel BenchC) ;;
        before) set_destination BenchC "$dst"; T[$t:$r]=$(timed before BenchC) ;;
        limit) T[$t:$r]=$(timed "$limit" copy "$big" "$dst") ;;
        cp) T[$t:$r]=$(timed cp --preserve=timestamps "$big/gros fichier.bin" "$dst/") ;;
        rsync) T[$t:$r]=$(timed rsync -rt "$big/" "$dst/") ;;
      esac
      verify "$big" "$dst" "c: $t, round $r"
      rm -rf "$dst" # one big file: no inode churn, and 2 GiB a copy adds up
    done
  done
  report "(c) one $big_mib MiB file, $cache" "$rounds_c" "${order[@]}"
}

# --- (sa), (sb) the destination on slowfs ------------------------------------------------------
mount_slow() {
  mountpoint -q "$slow" && return
  mkdir -p "$work/slow-backing" "$slow"
  "$tools/slowfs" -m "$slow_ms" "$work/slow-backing" "$slow"
}
# The tools of a slow part: tandrel, "before" and rsync of the peers, and the limits given.
slow_order() { local t; for t in "${order[@]}"; do [[ $t == cp || $t == limit ]] || printf '%s ' "$t"; done; printf '%s' "$*"; }

part_sa() {
  mount_slow
  "$limit" copy "$src" "$work/slow-backing/a" # beside the mount: no delay
  verify "$src" "$work/slow-backing/a" "sa: preparation"
  local dst=$slow/a
  add_project SlowA "$src" "$dst" OUI
  NAME=([tandrel]="tandrel-cli run --quiet" [limit]="limit stat (serial)"
    [plimit]="limit stat ($slow_threads threads)" [rsync]="rsync -rt" [before]="tandrel-cli before")
  local tools_sa r i t runs=0
  read -r -a tools_sa <<<"$(slow_order "${slow_limits[@]}")"
  local n=${#tools_sa[@]}
  say "(sa) nothing changed, $slow_ms ms a call: $((rounds_slow + 1 - first_round)) rounds..."
  for ((r = first_round; r <= rounds_slow; r++)); do
    for ((i = 0; i < n; i++)); do
      t=${tools_sa[$(((r + i) % n))]}
      case $t in
        tandrel) T[$t:$r]=$(timed tandrel SlowA); runs=$((runs + 1)) ;;
        before) T[$t:$r]=$(timed before SlowA); runs=$((runs + 1)) ;;
        limit) T[$t:$r]=$(timed "$limit" stat "$src" "$dst") ;;
        plimit) T[$t:$r]=$(timed "$limit" stat "$src" "$dst" "$slow_threads") ;;
        rsync) T[$t:$r]=$(timed rsync -rt "$src/" "$dst/") ;;
      esac
    done
  done
  verify "$src" "$work/slow-backing/a" "sa: after the rounds"
  check_unchanged SlowA "$runs" sa
  local title="(sa) nothing changed, slowfs $slow_ms ms"
  report "$title" "$rounds_slow" "${tools_sa[@]}"
  goal "$title" rsync 0.2
}

part_sb() {
  mount_slow
  add_project SlowB "$src" "$slow/unused" OUI
  NAME=([tandrel]="tandrel-cli run --quiet" [limit]="limit copy (serial)" [rsync]="rsync -rt"
    [before]="tandrel-cli before")
  local tools_sb r i t
  read -r -a tools_sb <<<"$(slow_order "${slow_limits[@]/plimit/}")"
  local n=${#tools_sb[@]}
  mkdir -p "$work/slow-backing/b"
  say "(sb) empty destination, $slow_ms ms a call: $((rounds_slow + 1 - first_round)) rounds..."
  for ((r = first_round; r <= rounds_slow; r++)); do
    for ((i = 0; i < n; i++)); do
      t=${tools_sb[$(((r + i) % n))]}
      local dst=$slow/b/$t.$r
      mkdir "$dst"
      case $t in
        tandrel) set_destination SlowB "$dst"; T[$t:$r]=$(timed tandrel SlowB) ;;
        before) set_destination SlowB "$dst"; T[$t:$r]=$(timed before SlowB) ;;
        limit) T[$t:$r]=$(timed "$limit" copy "$src" "$dst") ;;
        rsync) T[$t:$r]=$(timed rsync -rt "$src/" "$dst/") ;;
      esac
      verify "$src" "$work/slow-backing/b/$t.$r" "sb: $t, round $r"
    done
  done
  local title="(sb) empty destination, slowfs $slow_ms ms"
  report "$title" "$rounds_slow" "${tools_sb[@]}"
  goal "$title" rsync 0.3
}

for part in $parts; do
  "part_$part"
done

unmount_slow
say "Removing $work..."
trap - ERR
rm -rf "$work"
