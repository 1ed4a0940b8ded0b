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

# Names the tests whose run failed in the sanitizer runtime itself rather than in the test, so
# that such a failure reads as what it is.
name_sanitizer_faults() {  # name_sanitizer_faults DIR
    local log="$1/Testing/Temporary/LastTest.log"
    [ -f "$log" ] || return 0
    local faulty
    faulty=$(perl -ne 'if (/^\d+\/\d+ Test: (\S+)/) { $t = $1 }
        elsif (/(Sanitizer has encountered a fatal error|Tracer caught signal)/ && !$seen{$t}++) {
            print "$t\n" }' "$log")
    [ -n "$faulty" ] || return 0
    echo "error: the sanitizer runtime itself failed (not the tests' checks) in:" $faulty >&2
    echo "error: see \"Sanitizer has encountered a fatal error\" in $log" >&2
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
    # intercept_tls_get_addr=0: GCC 12's runtime takes a dynamic TLS block that its allocator
    # happens to place 16 bytes past a page boundary for a glibc 2.19 block, reads a start and
    # length from the allocator's own header before it, and LeakSanitizer's tracer dies
    # scanning that range at exit ("Tracer caught signal 11"), on some machines in every run
    # (fixed in GCC 14 and LLVM 17). Without the interceptor the dynamic TLS of loaded plugins
    # is not scanned; leaks on the heap are found as before.
    ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0 UBSAN_OPTIONS=print_stacktrace=1 \
        run_tests build-sanitize || {
        name_sanitizer_faults build-sanitize
        exit 1
    }
    ;;
*)
    sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
