# Shared by run.sh and test.sh: the Debian packages the build needs, and the build itself.

# Qt's translations are for running it: Qt's own words (menus, dialogs) in Italian. NLopt solves
# for smooth joins; GEOS, the geometry engine, computes the offset line.
CINQUEPUNTI_PACKAGES=(cmake g++ make pkg-config qt6-base-dev libgl-dev libnlopt-dev libgeos-dev
    fonts-liberation2 fonts-dejavu-core qt6-translations-l10n)
# What test.sh adds: clang with its sanitizer and fuzzer runtimes, Google Benchmark, the tools
# that make and check the Debian package (dpkg-shlibdeps, appstreamcli, lintian,
# desktop-file-validate), and an X server, a window manager and X tools for running the real
# program in tests/desktop, Qt SVG for the test that renders a saved curve, and the programs that
# read the true-size exports back as a user's would (poppler's pdftoppm and pdftotext, ezdxf), and
# Shapely, which measures the offset line read back.
CINQUEPUNTI_CHECK_PACKAGES=(clang libclang-rt-14-dev libbenchmark-dev dpkg-dev appstream
    lintian desktop-file-utils python3 xvfb openbox xdotool x11-utils imagemagick qt6-svg-dev
    poppler-utils python3-ezdxf python3-shapely)

# cinquepunti_install_packages [more packages...]
cinquepunti_install_packages() {
    local missing=()
    for package in "${CINQUEPUNTI_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# cinquepunti_configure <dir> [cmake options...]
cinquepunti_configure() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# cinquepunti_build <dir> [cmake options...]: everything, tests and tools included.
cinquepunti_build() {
    cinquepunti_configure "$@"
    cmake --build "$1" -j2
}
