#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, then builds and runs a consumer program
# against it twice: through find_package(KestrixCsr) and through pkg-config.
set -euo pipefail
build=$1
consumer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
test -f "$work/prefix/include/kestrix/csr.h"

cmake -S "$consumer" -B "$work/build" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/build" >/dev/null
LD_LIBRARY_PATH="$work/prefix/lib" "$work/build/consumer"

libdir=$(ls -d "$work"/prefix/lib*/pkgconfig | head -n1)
PKG_CONFIG_PATH="$libdir" c++ -o "$work/consumer-pc" "$consumer/main.cc" \
  $(PKG_CONFIG_PATH="$libdir" pkg-config --cflags --libs kestrix-csr)
LD_LIBRARY_PATH="$work/prefix/lib" "$work/consumer-pc"
# The Python module, when the build has it, imports from the prefix's package directory.
if site=$(ls -d "$work"/prefix/lib*/python3*/site-packages 2>/dev/null | head -n1) && [ -n "$site" ]; then
  test -f "$site/kestrix_csr.pyi"
  PYTHONPATH="$site" python3 -c 'import kestrix_csr; kestrix_csr.open("sim")["txs.cfg_flow_ctl"].read()'
fi
echo "installed package: find_package and pkg-config consumers ran"
