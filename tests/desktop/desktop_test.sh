#!/usr/bin/env bash
# The window program on a real X desktop (Xvfb, the openbox window manager, the trayer tray
# host), driven by xdotool: what the offscreen window tests cannot see. Usage: desktop_test.sh
# BIN_DIR (the folder of tandrel and tandrel-cli). Fails loudly when its world cannot be set up.
set -euo pipefail

bin=$1
fail() {
  echo "ÉCHEC : $*" >&2
  exit 1
}
for tool in Xvfb openbox trayer xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null || fail "$tool manque (scripts/setup.sh l'installe)"
done

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tries=$1
  shift
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# A desktop of the size $1 (e.g. 1024x600) on a free display, with a window manager and a tray.
start_desktop() {
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 100 test -s "$work/display" || fail "Xvfb ne démarre pas ($(cat "$work/xvfb.log"))"
  export DISPLAY=:$(cat "$work/display")
  rm "$work/display"
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 100 bash -c 'xprop -root _NET_SUPPORTED | grep -q _NET_ACTIVE_WINDOW' ||
    fail "openbox ne démarre pas ($(cat "$work/openbox.log"))"
  start_tray
}

start_tray() {
  trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
    >"$work/trayer.log" 2>&1 &
  tray_pid=$!
  pids+=("$tray_pid")
  # Slow to map its window on a busy machine: its log says why when it never does.
  wait_for 300 xdotool search --onlyvisible --class trayer ||
    fail "trayer ne démarre pas ($(cat "$work/trayer.log"))"
}

stop_desktop() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  pids=()
}

# The program in a folder of its own, which it takes as its application folder, with one
# project "Essai" copying $work/origine into $work/copie.
app=$work/app
mkdir -p "$app" "$work/home" "$work/origine" "$work/copie"
cp "$bin/tandrel" "$app/"
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
printf '[Main]\nTemplateName=Essai\nActions=1\n[Action1]\nEnabled=OUI\nFileFilter=*\nFromFolder=%s\nToFolder=%s\nInclSub=OUI\n' \
  "$work/origine" "$work/copie" >"$work/Essai.TDRL"
"$bin/tandrel-cli" --app-dir "$app" import "$work/Essai.TDRL" >/dev/null

start_program() {
  "$app/tandrel" >>"$work/tandrel.log" 2>&1 &
  program=$!
  pids+=("$program")
  main=$(xdotool search --sync --onlyvisible --name '^Tandrel$' | head -n 1) ||
    fail "la fenêtre principale ne s'ouvre pas"
}

alive() { kill -0 "$program" 2>/dev/null || fail "$1 : le programme s'est arrêté ($(tail -n 3 "$work/tandrel.log"))"; }
# The main window as the window manager shows it: mapped (shown), iconic (in the task bar), or
# neither (in the tray). WM_STATE alone can be stale once the window has been withdrawn.
mapped() { xwininfo -id "$main" | grep -q 'Map State: IsViewable'; }
iconic() { xprop -id "$main" WM_STATE | grep -q 'window state: Iconic'; }
shown() { mapped; }
in_tray() { ! mapped && ! iconic; }
reachable() { mapped || iconic; }

# Minimises the main window into the tray, then releases button $1 on the tray icon ($2 clicks).
restore_with_button() {
  xdotool windowminimize "$main"
  wait_for 50 in_tray || fail "la fenêtre minimisée n'est pas allée dans la zone de notification"
  local tray
  tray=$(xdotool search --onlyvisible --class trayer | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$tray")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click --repeat "$2" --delay 60 "$1"
  wait_for 50 shown || { alive "clic $1 sur l'icône"; fail "le clic $1 sur l'icône ne rend pas la fenêtre"; }
  sleep 0.5
  alive "clic $1 sur l'icône"
}

echo "== icône de notification"
start_desktop 1024x768
start_program
restore_with_button 3 1
restore_with_button 1 1
restore_with_button 1 2
# A tray host that goes away takes the icon with it: the window comes back to the task bar.
xdotool windowminimize "$main"
wait_for 50 in_tray || fail "la fenêtre minimisée n'est pas allée dans la zone de notification"
kill "$tray_pid"
wait_for 50 reachable || fail "sans zone de notification, la fenêtre est perdue"
start_tray
xdotool windowactivate "$main"
wait_for 50 shown || fail "la fenêtre ne revient pas de la barre des tâches"
restore_with_button 1 1 # the tray that came back serves again
stop_desktop

echo "== quitter pendant une synchronisation"
start_desktop 1024x768
# Enough files that the run is still going when the window closes.
for d in $(seq 1 30); do mkdir -p "$work/origine/d$d" && (cd "$work/origine/d$d" && touch f{1..1000}); done
start_program
xdotool windowactivate --sync "$main" key Down # the project list has the focus: "Essai"
sleep 0.3
xdotool key alt+s # "&Synchroniser >>", then OK in the confirmation
wait_for 100 xdotool search --onlyvisible --name '^Synchronisation$' || fail "pas de confirmation"
sleep 0.3
xdotool key Return
copying() { [[ -n $(find "$work/copie" -type f -print -quit) ]]; }
wait_for 100 copying || fail "la synchronisation ne démarre pas"
xdotool windowactivate --sync "$main" key alt+F4
wait_for 100 bash -c "! kill -0 $program" || fail "le programme tourne encore après la fermeture de sa fenêtre"
grep -q "Synchronisation annulée par l'utilisateur!" "$app/Essai.log" ||
  fail "le rapport de la synchronisation annulée n'est pas enregistré"
start_program # a relaunch is not refused
xdotool windowactivate --sync "$main" key alt+f q # "&Fichier", "&Quitter"
wait_for 100 bash -c "! kill -0 $program" || fail "« Quitter » ne termine pas le programme"
stop_desktop

echo "== petits et grands écrans"
for screen in 800x600 1024x600 3840x2160; do
  start_desktop "$screen"
  [[ $screen == 3840x2160 ]] && export QT_SCALE_FACTOR=2
  start_program
  unset QT_SCALE_FACTOR
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$main")"
  width=${screen%x*} height=${screen#*x}
  ((X >= 0 && Y >= 0 && X + WIDTH <= width && Y + HEIGHT <= height)) ||
    fail "écran $screen : la fenêtre ${WIDTH}x$HEIGHT en $X,$Y déborde"
  # Centred, the window manager's frame aside.
  ((${X} + WIDTH / 2 - width / 2 <= 10 && width / 2 - X - WIDTH / 2 <= 10)) ||
    fail "écran $screen : la fenêtre n'est pas centrée ($X,$Y ${WIDTH}x$HEIGHT)"
  xdotool windowactivate --sync "$main" key alt+F4
  wait_for 100 bash -c "! kill -0 $program" || fail "écran $screen : le programme ne se termine pas"
  stop_desktop
done
echo "tout va bien"
