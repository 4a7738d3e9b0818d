#!/usr/bin/env bash
# Builds the static Windows libraries Orvenna links against (libpng, SQLite, jsoncpp,
# qrencode, googletest, Modest, curl over Schannel, wxMSW 3.2, libsodium, ERFA) from Debian's source packages
# with the mingw-w64 cross compiler, and prints the folder that holds them:
#
#   prefix=$(scripts/windows-deps.sh)
#   cmake ... -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64-toolchain.cmake -DORVENNA_WINDOWS_PREFIX="$prefix"
#
# A cold build takes ten to twenty minutes on two cores, so the result is kept in
# /var/cache/orvenna-windows/<key> (ORVENNA_WINDOWS_CACHE replaces the parent folder). The key
# covers this script, the toolchain file, the compiler and the source versions apt offers:
# when none of them changed, the cached folder is printed within seconds.
# Only the prefix goes to stdout; progress, as "windows-deps: <step> <seconds> s", to stderr.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
script="$root/scripts/windows-deps.sh"
toolchain="$root/cmake/mingw64-toolchain.cmake"
cache=${ORVENNA_WINDOWS_CACHE:-/var/cache/orvenna-windows}
host=x86_64-w64-mingw32
jobs=$(nproc)
started=$SECONDS

packages=(
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 xvfb xauth fonts-noto-cjk
  dpkg-dev # dpkg-source, which unpacks and patches the source packages
  cmake ninja-build pkg-config python3
  gcc make # host tools: SQLite's generators, the autotools builds
  autoconf automake libtool # libsodium's and ERFA's source packages have no configure script
  tcl # tclsh generates SQLite's amalgamation
)
# Debian source packages built, in this order; each is unpacked into src/<name>.
sources=(libpng1.6 sqlite3 libjsoncpp qrencode googletest modest curl wxwidgets3.2 libsodium erfa)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

# run_step NAME LOG COMMAND...: runs COMMAND with its output in LOG and reports its time.
# The command runs in a subshell with errexit in force (an `if` around it would switch
# errexit off inside), so a failing line stops the step; the log's tail tells why.
run_step() {
  local name=$1 log=$2 t0=$SECONDS status
  shift 2
  set +e
  ( set -e; "$@" ) >"$log" 2>&1
  status=$?
  set -e
  if [ $status -ne 0 ]; then
    echo "windows-deps: $name failed; the end of $log:" >&2
    tail -n 40 "$log" >&2
    exit $status
  fi
  echo "windows-deps: $name $((SECONDS - t0)) s" >&2
}

mkdir -p "$cache"
# One run at a time: a second caller waits here, then finds the finished prefix.
exec 9>"$cache/.lock"
flock 9

# ---------------------------------------------------------------- packages and sources.list

install_missing() {
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "$@"
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "windows-deps: installing ${missing[*]}" >&2
  run_step packages "$cache/packages.log" install_missing "${missing[@]}"
  rm -f "$cache/packages.log"
fi

# apt-get source needs deb-src entries; Debian's images ship only deb ones. Copy those
# with the type changed, so the source archive is the same mirror (or snapshot) as the binaries.
add_deb_src() {
  local configured=no f
  if grep -qsE '^[[:space:]]*Types:.*\bdeb-src\b' /etc/apt/sources.list.d/*.sources ||
     grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list; then
    configured=yes
  fi
  if [ $configured = no ]; then
    local stanzas="" lines=""
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      stanzas+=$(sed 's/^Types:.*/Types: deb-src/' "$f")$'\n\n'
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -e "$f" ] || continue
      lines+=$(sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f")$'\n'
    done
    if [ -n "${stanzas//[[:space:]]/}" ]; then
      printf '%s' "$stanzas" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/orvenna-deb-src.sources
    fi
    if [ -n "${lines//[[:space:]]/}" ]; then
      printf '%s' "$lines" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/orvenna-deb-src.list
    fi
  fi
  "${sudo_cmd[@]}" apt-get update
}

if ! apt-cache showsrc --only-source wxwidgets3.2 2>/dev/null | grep -q '^Version:'; then
  run_step deb-src "$cache/deb-src.log" add_deb_src
  rm -f "$cache/deb-src.log"
fi

# ---------------------------------------------------------------- key

# The source versions apt knows for a package, newest first (Debian's ordering, not sort -V).
source_versions() {
  local v i inserted sorted out=()
  for v in $(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u); do
    sorted=() inserted=no
    for i in ${out[@]+"${out[@]}"}; do
      if [ $inserted = no ] && dpkg --compare-versions "$v" gt "$i"; then
        sorted+=("$v")
        inserted=yes
      fi
      sorted+=("$i")
    done
    [ $inserted = yes ] || sorted+=("$v")
    out=("${sorted[@]}")
  done
  printf '%s\n' ${out[@]+"${out[@]}"}
}

declare -A versions
key_input=$(
  sha256sum "$script" "$toolchain" | cut -d' ' -f1
  # A new mingw-w64 runtime or zlib can make old static libraries unlinkable.
  dpkg-query -W g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
)
for p in "${sources[@]}"; do
  versions[$p]=$(source_versions "$p")
  if [ -z "${versions[$p]}" ]; then
    echo "windows-deps: apt knows no source package $p (is a deb-src entry missing?)" >&2
    exit 1
  fi
  key_input+=$'\n'"$p "$(echo ${versions[$p]})
done
key=$(printf '%s\n' "$key_input" | sha256sum | cut -c1-16)
prefix="$cache/$key"

if [ -f "$prefix/.complete" ] && [ ! -L "$prefix" ]; then
  echo "windows-deps: cached $((SECONDS - started)) s" >&2
  echo "$prefix"
  exit 0
fi

# ---------------------------------------------------------------- build

# The libraries are installed into staging, which is renamed to the prefix only once all of
# them built. During the build the prefix is a symbolic link to staging, so wx-config, the
# .pc files and the CMake package files all record the final path and stay valid after
# the rename. A build that stops half way leaves only the link and staging: no .complete.
scratch="$cache/build-$key"
staging="$scratch/prefix"
src="$scratch/src"
rm -rf "$scratch"
if [ -L "$prefix" ]; then rm -f "$prefix"; else rm -rf "$prefix"; fi
mkdir -p "$staging/lib" "$staging/include" "$src" "$scratch/download"
ln -s "$staging" "$prefix"
manifest="$staging/share/orvenna-windows/sources.txt"
mkdir -p "$(dirname "$manifest")"

# Unpacks the newest source version apt can fetch in full (Debian's patches, security fixes
# among them, applied). Some .debian.tar.xz files are missing on the mirror (404): then an
# older revision is tried, and as a last resort the upstream .orig tarball of the newest one.
fetch_source() {
  local pkg=$1 dir="$scratch/download/$1" ver newest="" orig upstream
  mkdir -p "$dir"
  cd "$dir"
  for ver in ${versions[$pkg]}; do
    [ -n "$newest" ] || newest=$ver
    if apt-get source --download-only "$pkg=$ver"; then
      # apt already checked every file against the signed index (apt-get source does the same).
      dpkg-source --no-check -x "${pkg}_${ver#*:}.dsc" "$src/$pkg"
      echo "$pkg $ver debian" >>"$manifest"
      [ "$ver" = "$newest" ] || echo "windows-deps: note: $pkg $newest could not be fetched; built $ver" >&3
      return 0
    fi
  done
  upstream=${newest#*:}
  upstream=${upstream%-*}
  orig=$(ls "${pkg}_${upstream}".orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -n 1 || true)
  if [ -z "$orig" ]; then
    echo "no source of $pkg could be fetched" >&2
    return 1
  fi
  mkdir "$src/$pkg"
  if [ "$(tar tf "$orig" | cut -d/ -f1 | sort -u | wc -l)" -eq 1 ]; then
    tar xf "$orig" -C "$src/$pkg" --strip-components=1
  else
    tar xf "$orig" -C "$src/$pkg"
  fi
  echo "$pkg $newest upstream-only" >>"$manifest"
  echo "windows-deps: note: $pkg $newest built from its upstream tarball (Debian's patches could not be fetched)" >&3
}

fetch_sources() {
  for p in "${sources[@]}"; do
    fetch_source "$p"
  done
}

cmake_common=(
  -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DORVENNA_WINDOWS_PREFIX="$prefix"
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF
)

# cmake_build SOURCE-DIR CMAKE-ARGS...: configure, build and install one CMake project.
cmake_build() {
  local dir=$1
  shift
  cmake -S "$dir" -B "$dir/build-win" "${cmake_common[@]}" "$@"
  cmake --build "$dir/build-win" -j "$jobs" -v
  cmake --install "$dir/build-win"
}

build_libpng() {
  mkdir -p "$src/libpng1.6/build-win"
  cd "$src/libpng1.6/build-win"
  ../configure --host=$host --prefix="$prefix" --disable-shared CC=$host-gcc-posix
  # Only the library: the test programs and tools are not needed.
  make -j"$jobs" libpng16.la
  make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS \
    install-pkgconfigDATA install-header-links install-library-links
}

build_sqlite() {
  mkdir -p "$src/sqlite3/build-win"
  cd "$src/sqlite3/build-win"
  # Configured for Linux: this tree only generates the amalgamation with host tools (lemon,
  # tclsh); the single sqlite3.c is then cross-compiled by hand.
  ../configure --disable-tcl
  make -j"$jobs" sqlite3.c
  $host-gcc-posix -O2 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_MATH_FUNCTIONS -c sqlite3.c -o sqlite3.o
  $host-ar rcs "$prefix/lib/libsqlite3.a" sqlite3.o
  cp sqlite3.h sqlite3ext.h "$prefix/include/"
}

build_jsoncpp() {
  cmake_build "$src/libjsoncpp" -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF
}

build_qrencode() {
  cmake_build "$src/qrencode" -DWITH_TOOLS=OFF
}

build_googletest() {
  cmake_build "$src/googletest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}

build_modest() {
  cd "$src/modest"
  # Newer GCC versions warn where Modest's authors' compiler did not; warnings are not errors here.
  sed -i 's/ -Werror\b//' CMakeLists.txt
  if grep -q -- '-Werror' CMakeLists.txt; then
    echo "Modest's CMakeLists.txt still has -Werror" >&2
    return 1
  fi
  cmake -S . -B build-win "${cmake_common[@]}"
  cmake --build build-win -j "$jobs" -v --target modest_static
  cp build-win/libmodest.a "$prefix/lib/"
  cp -r include/* "$prefix/include/"
}

build_curl() {
  # Schannel: TLS and certificates come from Windows itself, no OpenSSL to ship or update.
  cmake_build "$src/curl" -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
    -DCURL_ZLIB=ON -DZLIB_LIBRARY=/usr/$host/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$host/include \
    -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DCURL_USE_LIBSSH2=OFF \
    -DUSE_LIBIDN2=OFF -DUSE_WIN32_IDN=ON -DCURL_DISABLE_LDAP=ON -DENABLE_UNICODE=ON
}

build_wxwidgets() {
  mkdir -p "$src/wxwidgets3.2/build-win"
  cd "$src/wxwidgets3.2/build-win"
  # Debian's tarball has no bundled zlib/png/jpeg/tiff/expat: zlib is the mingw-w64 one,
  # png the one built above, the rest (and every library Orvenna does not use) is left out.
  ../configure --host=$host --build=x86_64-linux-gnu --prefix="$prefix" --with-msw \
    --disable-shared --enable-unicode --disable-debug_info --enable-optimise \
    CC=$host-gcc-posix CXX=$host-g++-posix CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
    --with-libpng=sys --with-zlib=sys --without-libjpeg --without-libtiff --without-expat \
    --with-regex=builtin --without-liblzma --without-opengl --disable-webview --disable-mediactrl \
    --disable-stc --disable-ribbon --disable-propgrid --disable-aui --disable-richtext \
    --disable-xrc --disable-webrequest --disable-secretstore
  local lib="$PWD/lib" suffix="-3.2-$host.a" id="$host-msw-unicode-static-3.2"
  # Only the libraries Orvenna links ("adv" is empty in 3.2 but wx-config still names it).
  make -j"$jobs" "$lib/libwxregexu$suffix" "$lib/libwx_baseu$suffix" "$lib/libwx_mswu_core$suffix" \
    "$lib/libwx_mswu_adv$suffix" "$lib/libwx_mswu_html$suffix"
  make install_wxregex install_baselib install_corelib install_advlib install_htmllib install-wxconfig
  # The headers and setup.h are installed by hand: wx's own install target would first
  # build every library.
  mkdir -p "$prefix/include/wx-3.2" "$prefix/lib/wx/include/$id/wx/msw"
  cp -r ../include/wx "$prefix/include/wx-3.2/"
  cp "lib/wx/include/$id/wx/setup.h" "$prefix/lib/wx/include/$id/wx/"
  # wx.rc includes it when windres compiles the program's resources.
  cp "lib/wx/include/$id/wx/msw/rcdefs.h" "$prefix/lib/wx/include/$id/wx/msw/"
  "$prefix/bin/wx-config" --libs core base html
}

build_libsodium() {
  cd "$src/libsodium"
  autoreconf -fi
  mkdir -p build-win
  cd build-win
  # Only the library: update signatures are checked with it, nothing else of it is used.
  ../configure --host=$host --prefix="$prefix" --disable-shared --enable-static \
    --disable-pie CC=$host-gcc-posix
  make -j"$jobs" -C src/libsodium
  make -C src/libsodium install
}

build_erfa() {
  cd "$src/erfa"
  autoreconf -fi
  mkdir -p build-win
  cd build-win
  # Only the library: the Sun's position for the solar terms; its test program is not needed.
  ../configure --host=$host --prefix="$prefix" --disable-shared --enable-static CC=$host-gcc-posix
  make -j"$jobs" -C src
  make -C src install
}

exec 3>&2 # fetch_source's notes reach the terminal, not only the log
run_step sources "$scratch/sources.log" fetch_sources
run_step libpng "$scratch/libpng.log" build_libpng
run_step sqlite "$scratch/sqlite.log" build_sqlite
run_step jsoncpp "$scratch/jsoncpp.log" build_jsoncpp
run_step qrencode "$scratch/qrencode.log" build_qrencode
run_step googletest "$scratch/googletest.log" build_googletest
run_step modest "$scratch/modest.log" build_modest
run_step curl "$scratch/curl.log" build_curl
run_step wxwidgets "$scratch/wxwidgets.log" build_wxwidgets
run_step libsodium "$scratch/libsodium.log" build_libsodium
run_step erfa "$scratch/erfa.log" build_erfa

# The link goes, staging takes its name; .complete marks a prefix that may be used.
rm -f "$prefix"
mv -T "$staging" "$prefix"
touch "$prefix/.complete"
rm -rf "$scratch"

# Older prefixes and interrupted builds of other keys are of no further use.
for old in "$cache"/*; do
  name=$(basename "$old")
  if [[ $name =~ ^(build-)?[0-9a-f]{16}$ ]] && [ "$name" != "$key" ] && [ "$name" != "build-$key" ]; then
    rm -rf "$old"
  fi
done

echo "windows-deps: total $((SECONDS - started)) s" >&2
echo "$prefix"
