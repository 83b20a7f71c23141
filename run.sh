#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application against the simulated
# Kalvik box (build/bin/kalvik-sim), which is stopped again when the application ends.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages
build_tree build

# Never let the application reach for the device's factory address from here.
export VENTARO_DEVICE_HOST=${VENTARO_DEVICE_HOST:-127.0.0.2}
# The simulated device's USB stick; the SCP tool stand-in works on the same folder.
export KALVIK_STICK_DIR=${KALVIK_STICK_DIR:-$(pwd)/build/stick}

sim_pid=""
stop_simulator() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
        sim_pid=""
    fi
}
trap stop_simulator EXIT
trap 'exit 130' INT TERM

case "$VENTARO_DEVICE_HOST" in
127.*)
    if device_listening "$VENTARO_DEVICE_HOST"; then
        echo "run.sh: a device already listens on $VENTARO_DEVICE_HOST:2222; using it"
    else
        mkdir -p "$KALVIK_STICK_DIR"
        build/bin/kalvik-sim --host "$VENTARO_DEVICE_HOST" --stick "$KALVIK_STICK_DIR" \
            >build/kalvik-sim.log 2>&1 &
        sim_pid=$!
        for _ in $(seq 50); do
            device_listening "$VENTARO_DEVICE_HOST" && break
            if ! kill -0 "$sim_pid" 2>/dev/null; then
                wait "$sim_pid" 2>/dev/null || true
                sim_pid=""
                echo "run.sh: kalvik-sim did not start; see build/kalvik-sim.log" >&2
                break
            fi
            sleep 0.1
        done
        [ -n "$sim_pid" ] && echo "run.sh: kalvik-sim on $VENTARO_DEVICE_HOST:2222 (log: build/kalvik-sim.log)"
    fi
    ;;
*)
    echo "run.sh: VENTARO_DEVICE_HOST=$VENTARO_DEVICE_HOST is not a loopback address; no simulator started"
    ;;
esac

build/bin/ventaro "$@"
