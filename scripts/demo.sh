#!/usr/bin/env bash
# Runs the main job against the simulated quote service in a fresh demo folder.
set -euo pipefail
build=${1:-build}
"$build/Vezizo.app/Contents/MacOS/vezizo"
