# Sourced by build.sh and test.sh: configures and builds one architecture.
#   poko_build 64|32 [targets...]   builds into build64/ or build32/ (logs beside them)
_poko_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

poko_build() {
  local bits=$1; shift
  local arch=x86_64; [ "$bits" = 32 ] && arch=i686
  local dir="$_poko_root/build$bits"
  # The 32-bit build is the product alone; its tests are driven from the 64-bit build.
  local tests=ON; [ "$bits" = 32 ] && tests=OFF
  cmake -S "$_poko_root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$_poko_root/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DPOKO_BUILD_TESTS=$tests >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
  if [ $# -gt 0 ]; then
    cmake --build "$dir" -j2 --target "$@"
  else
    cmake --build "$dir" -j2
  fi
}
