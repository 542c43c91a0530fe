#!/usr/bin/env bash
# The daily fetch against the simulated quote service, in a fresh demo
# application folder: start quote-sim on a free port, lay out the folder
# (market.csv, a fetch list of the simulated market, servers.conf), run
# `vezizo fetch`, show the first rows of `vezizo quotes` and the file written.
set -euo pipefail

build=${1:-build-release}
root=$(cd "$(dirname "$0")/.." && pwd)
vezizo="$build/Vezizo.app/Contents/MacOS/vezizo"
sim="$build/tools/quote-sim/quote-sim"
folder="$root/demo"
stocks=${DEMO_STOCKS:-300}

rm -rf "$folder"
mkdir -p "$folder"
cp "$root/Resources/market.csv" "$folder/"

"$sim" --fetchlist "$stocks" > "$folder/fetchlist.csv"

"$sim" --port 0 --log "$folder/quote-sim.log" > "$folder/quote-sim.port" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    [ -s "$folder/quote-sim.port" ] && break
    sleep 0.05
done
port=$(head -n 1 "$folder/quote-sim.port")
[ -n "$port" ] || { echo "demo: quote-sim did not start" >&2; exit 1; }
printf 'quote=127.0.0.1:%s\nhistory=127.0.0.1:%s\nprofile=127.0.0.1:%s\n' \
    "$port" "$port" "$port" > "$folder/servers.conf"

echo "== quote-sim on 127.0.0.1:$port, $stocks stocks in $folder/fetchlist.csv"
echo "== vezizo --folder demo fetch"
"$vezizo" --folder "$folder" fetch
echo
echo "== vezizo --folder demo quotes --sort cvc --descending (first 15 rows)"
quotes=$("$vezizo" --folder "$folder" quotes --sort cvc --descending)
head -n 15 <<< "$quotes"
echo
echo "== daily file written:"
ls -l "$folder"/DS*
echo
echo "Open the desktop program on the same folder with:"
echo "  $vezizo --folder $folder"
