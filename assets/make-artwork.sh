#!/usr/bin/env bash
# Redraws the pictures in this folder from make-artwork.cpp.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -fPIC make-artwork.cpp -o "$tmp/make-artwork" $(pkg-config --cflags --libs Qt6Gui)
mkdir -p icons
QT_QPA_PLATFORM=offscreen "$tmp/make-artwork"
