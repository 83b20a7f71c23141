#!/usr/bin/env bash
# Installs what is missing, builds, and starts the application.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages
build_tree build

# Never let the application reach for the device's factory address from here.
export VENTARO_DEVICE_HOST=${VENTARO_DEVICE_HOST:-127.0.0.2}
exec build/bin/ventaro "$@"
