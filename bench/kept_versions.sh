#!/usr/bin/env bash
# What keeping the versions of replaced files costs: one action replaces FILES (1,000) files of
# 16 KiB in 10 folders, with "Conserver les versions remplacées" off and on, in alternate rounds
# (the destination made again outside the timing, after a `sync`). Prints the median times, the
# difference per replaced file, and the renames each run made as counted by strace.
#
# Usage: bench/kept_versions.sh [tandrel-cli]   (default build/bin/tandrel-cli)
# Environment: FILES (1000), ROUNDS (9), BENCH_DIR (a new temporary folder).
set -euo pipefail
export LC_ALL=C
cli=$(realpath "${1:-build/bin/tandrel-cli}")
files=${FILES:-1000}
rounds=${ROUNDS:-9}
work=${BENCH_DIR:-$(mktemp -d)}
mkdir -p "$work/app" "$work/src" "$work/old"
trap 'rm -rf "$work"' EXIT

for ((i = 0; i < files; i++)); do
  folder=d$((i % 10))
  mkdir -p "$work/src/$folder" "$work/old/$folder"
  head -c 16384 /dev/urandom >"$work/src/$folder/f$i"
  head -c 100 /dev/urandom >"$work/old/$folder/f$i" # another size: replaced
done
"$cli" --app-dir "$work/app" list >/dev/null # creates the database
for keep in NON OUI; do
  sqlite3 "$work/app/Tandrel.mdb" "
    INSERT INTO Templates (Name, Description) VALUES ('Keep$keep', '');
    INSERT INTO Actions (TemplateNo, Description, Enabled, FileFilter, FromFolder, ToFolder,
                         InclSub, FileDate, FileSize, Operator, KeepVersions)
    VALUES (last_insert_rowid(), '', 'OUI', '*.*', '$work/src', '$work/dst', 'OUI', '>', '<>',
            'OR', '$keep');"
done

fresh() { rm -rf "$work/dst" && cp -a "$work/old" "$work/dst" && sync; }
timed() { # project
  fresh
  local start=$EPOCHREALTIME
  "$cli" --app-dir "$work/app" run --quiet "$1" >/dev/null
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f", b - a }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END { print v[int((NR + 1) / 2)] }'; }

off=() on=()
for ((r = 0; r <= rounds; r++)); do # round 0 warms up
  if ((r % 2)); then a=$(timed KeepNON) b=$(timed KeepOUI); else b=$(timed KeepOUI) a=$(timed KeepNON); fi
  ((r > 0)) && off+=("$a") && on+=("$b")
done
m_off=$(median "${off[@]}") m_on=$(median "${on[@]}")

renames() { # project
  fresh
  strace -f -c -e trace=rename,renameat,renameat2 -o "$work/strace" \
    "$cli" --app-dir "$work/app" run --quiet "$1" >/dev/null
  awk '$NF ~ /^rename/ { n += $4 } END { print n + 0 }' "$work/strace"
}

printf '%s files replaced, %s rounds (medians)\n' "$files" "$rounds"
printf '  versions off: %.3f s, %s renames\n' "$m_off" "$(renames KeepNON)"
n_on=$(renames KeepOUI)
kept=$(find "$work/dst/.tandrel-versions" -type f | wc -l)
printf '  versions on:  %.3f s, %s renames, %s versions kept\n' "$m_on" "$n_on" "$kept"
awk -v a="$m_off" -v b="$m_on" -v n="$files" \
  'BEGIN { printf "  on - off: %+.1f us per replaced file (%+.1f%%)\n", (b - a) / n * 1e6, (b / a - 1) * 100 }'
