#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds, and runs the program or the tests.
#   ./pennacle.sh run [FILE...]   install what is missing, build, start the window program
#   ./pennacle.sh test            install what is missing, build, run the whole test suite
#   ./pennacle.sh test-sanitize   the same tests, built with AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev fonts-liberation
    libphonenumber-dev python3-vobject python3-radicale openssl qtkeychain-qt6-dev
    desktop-file-utils)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

configure() {  # configure DIR [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

build() {  # build DIR [cmake options...]: everything, the tests included
    configure "$@"
    cmake --build "$1" --parallel "$(nproc)"
}

run_tests() {  # run_tests DIR
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$1" --output-on-failure --timeout 600 \
        --parallel "$(nproc)"
}

case "${1:-}" in
run)
    shift
    install_missing
    # Only what starts the window: the tests, their support and the fuzz replays wait for
    # the test command.
    configure build
    cmake --build build --parallel "$(nproc)" --target pennacle pennacle-cli samples
    exec ./build/pennacle "$@"
    ;;
test)
    install_missing
    build build
    run_tests build
    ;;
test-sanitize)
    install_missing
    build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPENNACLE_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-sanitize
    ;;
*)
    sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
