#!/usr/bin/env bash
# The main job: build, start a simulated PLC on loopback and the reference host with a demo set-up.
# With a display the window stays until it is closed; without one (or with --headless) the host runs
# offscreen, saves a screenshot, prints the values it read and exits non-zero if none arrived.
#
#   scripts/demo.sh [--headless]
# Environment: VELTRO_BUILD_DIR (default build), DEMO_WAIT_MS (headless wait for values, default 3000).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

headless=0
case "${1:-}" in
    --headless) headless=1 ;;
    "") ;;
    *) echo "usage: scripts/demo.sh [--headless]" >&2; exit 2 ;;
esac
[ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && headless=1

build=${VELTRO_BUILD_DIR:-build}
wait_ms=${DEMO_WAIT_MS:-3000}

scripts/deps.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" --target plcsim halcyra-host VeltroWid

work=$(mktemp -d)
sim_pid=""
cleanup() {
    exec 3>&-
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# plcsim reads commands from a pipe that only this script holds open: if the script dies, however it
# dies, plcsim sees the end of its input and stops too.
mkfifo "$work/control"
"$build/bin/plcsim" --tcp 127.0.0.1:0 --animate --seed tools/plcsim/demo/seed.json --stats \
    <"$work/control" > >(tee "$work/plcsim.out") &
sim_pid=$!
exec 3>"$work/control"

port=""
for _ in $(seq 100); do
    port=$(sed -n 's/^plcsim listening tcp 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/plcsim.out" 2>/dev/null || true)
    [ -n "$port" ] && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "demo: plcsim did not start" >&2
    exit 1
fi

config="$work/config.json"
/usr/bin/python3 - "$port" "$config" <<'PY'
import json, sys
port, out = sys.argv[1], sys.argv[2]
with open("tools/plcsim/demo/config.json", encoding="utf-8") as f:
    doc = json.load(f)
for panel in doc["panels"]:
    link = panel["PLCLinkInfo"]
    link["IP"] = "127.0.0.1:" + port
    link["Port"] = port
with open(out, "w", encoding="utf-8") as f:
    json.dump(doc, f, ensure_ascii=False, indent=2)
PY

host=("$build/bin/halcyra-host" --config "$config" --plugins "$build/plugins")

if [ "$headless" -eq 0 ]; then
    echo "demo: PLC simulator on 127.0.0.1:$port; close the window to end. Writes appear below."
    "${host[@]}"
    exit $?
fi

shot="$build/demo.png"
set +e
values=$(QT_QPA_PLATFORM=offscreen "${host[@]}" --screenshot "$shot" --screenshot-delay "$wait_ms" --print-values)
rc=$?
set -e
echo "$values"
echo stats >&3 # the simulator's request counts, shown through tee
sleep 0.2
if [ "$rc" -ne 0 ]; then
    echo "demo: the host failed (exit $rc)" >&2
    exit "$rc"
fi
# Every row reads "name = value [unit]"; a row still without a value means nothing arrived for it.
if [ -z "$values" ] || echo "$values" | grep -Eq '^[^=]* = ( |$)'; then
    echo "demo: no values arrived from the simulator" >&2
    exit 1
fi
echo "demo: screenshot $shot"
