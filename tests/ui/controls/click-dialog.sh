#!/usr/bin/env bash
# Opens a dialog of the gallery program under Wine, clicks with the real X
# pointer what the program reports, and checks the dialog's result.
#   click-dialog.sh SHELL_EXE SCENE "TARGET..." EXPECTED_EXIT_CODE
# A target is a name the program reports (clicked), "focus:TITLE" (gives the
# window of that title the keyboard focus) or "key:KEY" (presses a key).
set -u
shell=$1 scene=$2 targets=$3 expected=$4
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# On the desktop of its own, as scripts/wine-run.sh picks it.
if [[ "${QUORVALLIS_DESKTOP:-}" == gui && -n "${QUORVALLIS_GUI_DISPLAY:-}" ]]; then
  export DISPLAY="$QUORVALLIS_GUI_DISPLAY"
fi
out=$(mktemp)
trap 'rm -f "$out" "$out.err"' EXIT
"$here/../../../scripts/wine-run.sh" "$shell" "$scene" >"$out" 2>"$out.err" &
pid=$!
for _ in $(seq 100); do
  grep -q '^ok ' "$out" && break
  sleep 0.2
done
if ! grep -q '^ok ' "$out"; then
  echo "the dialog did not come up"; cat "$out" "$out.err"; kill "$pid" 2>/dev/null; exit 1
fi
for target in $targets; do
  case "$target" in
  focus:*) xdotool search --onlyvisible --name "^${target#focus:}\$" windowfocus --sync; sleep 0.5; continue ;;
  key:*) xdotool key "${target#key:}"; sleep 0.5; continue ;;
  esac
  read -r x y < <(awk -v t="$target" '$1 == t { print $2, $3 }' "$out")
  if [[ -z "${x:-}" ]]; then echo "no position for $target"; kill "$pid"; exit 1; fi
  xdotool mousemove "$x" "$y" click 1
  sleep 0.5
done
for _ in $(seq 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.2
done
if kill -0 "$pid" 2>/dev/null; then echo "the dialog did not close"; kill "$pid"; exit 1; fi
wait "$pid"
code=$?
echo "exit code $code, expected $expected"
[[ "$code" == "$expected" ]]
