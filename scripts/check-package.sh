#!/usr/bin/env bash
# Checks a built Tandrel package as a packager and a user would: lintian, the desktop entry
# and AppStream validators, then the programs run from the unpacked package, each user's data
# in their own folder. Usage: check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/.."
app_id=$(sed -n 's/^set(TANDREL_APP_ID "\(.*\)")$/\1/p' CMakeLists.txt)

echo "-- lintian"
status=0
report=$(lintian --fail-on error,warning "$deb" 2>&1) || status=$?
report=$(grep -v "root privileges" <<<"$report" || true)
echo "${report:-rien à signaler}"
((status == 0))

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
root=$work/root
dpkg-deb -x "$deb" "$root"

echo "-- entrée de menu et métadonnées"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml"
version=$(dpkg-deb -f "$deb" Version)
[[ $(zcat "$root/usr/share/doc/tandrel/changelog.gz" | dpkg-parsechangelog -l- -SVersion) == "$version" ]] ||
  { echo "changelog: la dernière version n'est pas $version"; exit 1; }
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  { echo "metainfo: pas de <release> pour la version $version"; exit 1; }
for icon in "$root"/usr/share/icons/hicolor/*x*/apps/"$app_id".png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  file "$icon" | grep -q "PNG image data, ${size/x/ x }," || { echo "$icon n'a pas la taille $size"; exit 1; }
done

echo "-- programmes du paquet"
# A bare environment, as a fresh user has: nothing points at the build tree.
run_as() { # run_as USER HOME COMMAND...
  local user=$1 home=$2
  shift 2
  mkdir -p "$home" && chown "$user" "$home"
  setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}
bin=$root/usr/bin
run_as root "$work/root-home" "$bin/tandrel-cli" --help | grep "tandrel-cli" >/dev/null
run_as root "$work/root-home" "$bin/tandrel" --help | grep "minimized" >/dev/null
run_as root "$work/root-home" "$bin/tandrel-cli" list
run_as nobody "$work/nobody-home" "$bin/tandrel-cli" list
# The window under a real X server: it opens, titled Tandrel, and "Fichier" > "Quitter" ends it.
cat >"$work/window.sh" <<'WINDOW'
"$1" & pid=$!
window=$(xdotool search --sync --name '^Tandrel$' | head -n 1)
xdotool windowfocus --sync "$window" key alt+f sleep 0.5 key q
wait "$pid"
WINDOW
run_as root "$work/root-home" timeout 60 xvfb-run -a bash "$work/window.sh" "$bin/tandrel"

data=.local/share/Tandrel/Tandrel.mdb
[[ $(stat -c %U "$work/root-home/$data") == root && $(stat -c %U "$work/nobody-home/$data") == nobody ]] ||
  { echo "chaque utilisateur devrait avoir sa base dans ~/$data"; exit 1; }
[[ $(ls "$bin") == $'tandrel\ntandrel-cli' ]] || { echo "des fichiers écrits dans $bin"; exit 1; }
echo "Paquet vérifié : $(basename "$deb")"
