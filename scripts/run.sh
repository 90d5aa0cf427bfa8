#!/usr/bin/env bash
# Installs what is missing, builds kavrin.exe and starts it under Wine: on the
# local display when there is one, otherwise on a virtual one (Xvfb).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

kavrin_install_packages
cd "$KAVRIN_ROOT"
kavrin_build windows-x64
kavrin_wine_env

demo=$KAVRIN_ROOT/build/demo
mkdir -p "$demo"
cp build/windows-x64/kavrin.exe "$demo/"

if [ -z "${DISPLAY:-}" ]; then
  echo "No display found: starting Kavrin on a virtual display (Xvfb)."
  kavrin_start_xvfb
  trap kavrin_stop_session EXIT
fi
echo "Starting $demo/kavrin.exe"
wine "$demo/kavrin.exe"
