#!/usr/bin/env bash
# Makes docs/form.png, the README's picture of the main form: starts the built program under
# Xvfb on a copy of the program folder, opens the demo project, chooses its second position,
# presses Calculate and takes the screen. Needs a build (./run.sh) first.
#
# scripts/screenshot.sh --dialogs [--lang N] [--out DIR] instead captures the main form and the
# dialogs 173, 100, 179, the position, project, valve series (135), catalogue valve (146),
# unit, media and pipe dialogs, the print dialog (138), the print preview, the drawing window and
# the online update's progress (166), the six pages of the specification sheet
# in language N (default: the Lang of tarvik.ini) as DIR/lang<N>/*.png (default DIR:
# $TARVIK_SHOTS, else ../shots beside the checkout). Needs build/app/tarvik_screens.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="$root/build/program"
dialogs=0 lang="" out="${TARVIK_SHOTS:-$root/../shots}"
while [ $# -gt 0 ]; do
  case "$1" in
    --dialogs) dialogs=1 ;;
    --lang) lang="$2"; shift ;;
    --out) out="$2"; shift ;;
    *) echo "usage: $0 [--dialogs [--lang N] [--out DIR]]" >&2; exit 2 ;;
  esac
  shift
done
if [ "$dialogs" = 1 ]; then
  screens="$root/build/app/tarvik_screens"
  [ -x "$screens" ] || { echo "build tarvik_screens first" >&2; exit 1; }
  for tool in xvfb-run import; do
    command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb x11-apps imagemagick)" >&2; exit 1; }
  done
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  cp -r "$program" "$work/program"
  mkdir -p "$work/home"
  if [ -n "$lang" ]; then
    sed -i "s/^Lang=.*/Lang=$lang/" "$work/program/tarvik.ini"
  else
    lang="$(sed -n 's/^Lang=//p' "$work/program/tarvik.ini")"
  fi
  mkdir -p "$out/lang$lang"
  HOME="$work/home" xvfb-run -a -s "-screen 0 1600x1200x24" "$screens" "$work/program" "$(cd "$out/lang$lang" && pwd)"
  exit
fi
[ -x "$program/tarvik" ] || { echo "build the program first (./run.sh)" >&2; exit 1; }
for tool in xvfb-run xdotool xwd convert; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install xvfb xdotool x11-apps imagemagick)" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$program" "$work/program"
mkdir -p "$work/home"
# Window placement of the per-user settings: the whole virtual screen.
printf '[Rozmery]\ntop=0\nleft=0\nright=1400\nbottom=1350\n' > "$work/home/.Tarvik"
cat > "$work/steps.sh" <<STEPS
#!/usr/bin/env bash
export HOME="$work/home"
"$work/program/tarvik" "$work/program/Demo.tkp" >/dev/null 2>&1 &
pid=\$!
sleep 6
xdotool mousemove 170 125 click 1; sleep 1      # position list
xdotool key Down key Return; sleep 1            # the second position
xdotool mousemove 1244 1304 click 1; sleep 2    # Calculate
xwd -root -silent > "$work/screen.xwd"
kill \$pid
STEPS
chmod +x "$work/steps.sh"
xvfb-run -a -s "-screen 0 1400x1350x24" "$work/steps.sh"
mkdir -p "$root/docs"
convert "$work/screen.xwd" "$root/docs/form.png"
echo "wrote $root/docs/form.png"
