#!/usr/bin/env bash
# Installs the build tree into a scratch prefix, then builds and runs a consumer program
# against it twice: through find_package(KestrixCsr) and through pkg-config; with a Python
# interpreter as third argument, imports the installed kestrix_csr module too.
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
# The Python module, when the build has it (third argument: its interpreter): it must be
# installed in the prefix (lib/pythonX.Y/site-packages unless the build chose another place)
# with its stubs and import from there alone.
if [ -n "${3:-}" ]; then
  module=$(find "$work/prefix" -name 'kestrix_csr*.so' | head -n1)
  test -n "$module"
  site=$(dirname "$module")
  test -f "$site/kestrix_csr.pyi"
  (cd "$work" && PYTHONPATH="$site" "$3" -c \
    'import kestrix_csr; assert kestrix_csr.__file__.startswith("'"$site"'"); kestrix_csr.open("sim")["txs.cfg_flow_ctl"].read()')
fi
echo "installed package: find_package and pkg-config consumers ran"
