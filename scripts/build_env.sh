#!/usr/bin/env bash
# Sourced by the build scripts: every build tree configured from here on compiles through ccache
# when it is installed, so trees of the same sources (and a second run) rebuild little.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  # Paths inside the tree are hashed relative to it, so another clone hits the same entries.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}
  export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-8G}
fi
