#!/usr/bin/env bash
# What keeping the versions of replaced files costs: one action replaces FILES (1,000) files of
# 16 KiB in 10 folders, with "Conserver les versions remplacées" off and on, in alternate rounds,
# each into a new copy of the destination made outside the timing (a destination deleted and made
# again would time the file system's recovery from the deletion). Prints the median times and
# per-round ratio, and the renames each run made as counted by strace.
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
    VALUES (last_insert_rowid(), '', 'OUI', '*.*', '$work/src', '', 'OUI', '>', '<>', 'OR',
            '$keep');"
done

copies=0
fresh() { # project: its destination becomes a new copy of the old files
  copies=$((copies + 1))
  dst=$work/dst$copies
  cp -a "$work/old" "$dst"
  sqlite3 "$work/app/Tandrel.mdb" "UPDATE Actions SET ToFolder = '$dst' WHERE TemplateNo =
    (SELECT TemplateNo FROM Templates WHERE Name = '$1');"
  sync
}
timed() { # project
  fresh "$1"
  local start=$EPOCHREALTIME
  "$cli" --app-dir "$work/app" run --quiet "$1" >/dev/null
  seconds=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f", b - a }')
}
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END { print v[int((NR + 1) / 2)] }'; }

off=() on=() ratios=()
for ((r = 0; r <= rounds; r++)); do # round 0 warms up
  if ((r % 2)); then
    timed KeepNON && a=$seconds && timed KeepOUI && b=$seconds
  else
    timed KeepOUI && b=$seconds && timed KeepNON && a=$seconds
  fi
  ((r > 0)) && off+=("$a") && on+=("$b") && ratios+=("$(awk -v a="$a" -v b="$b" 'BEGIN { print b / a }')")
done
m_off=$(median "${off[@]}") m_on=$(median "${on[@]}") m_ratio=$(median "${ratios[@]}")

renames() { # project
  fresh "$1"
  strace -f -c -e trace=rename,renameat,renameat2 -o "$work/strace" \
    "$cli" --app-dir "$work/app" run --quiet "$1" >/dev/null
  count=$(awk '$NF ~ /^rename/ { n += $4 } END { print n + 0 }' "$work/strace")
}

printf '%s files replaced, %s rounds (medians)\n' "$files" "$rounds"
renames KeepNON
printf '  versions off: %.3f s, %s renames\n' "$m_off" "$count"
renames KeepOUI
kept=$(find "$dst/.tandrel-versions" -type f | wc -l)
printf '  versions on:  %.3f s, %s renames, %s versions kept\n' "$m_on" "$count" "$kept"
awk -v a="$m_off" -v b="$m_on" -v n="$files" -v r="$m_ratio" \
  'BEGIN { printf "  on - off: %+.1f us per replaced file; on / off: %.3f (median of rounds)\n", (b - a) / n * 1e6, r }'
