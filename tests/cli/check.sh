# Sourced by the command-line test scripts: `check WHAT COMMAND...` runs the
# command and reports "ok" or "FAIL" with WHAT; `finish` exits 1 after any FAIL.
failures=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
finish() {
    exit $((failures > 0))
}
