# SPDX-License-Identifier: MIT
# Sourced by the mcisend tests: check WHAT EXPECTED ACTUAL; finish ends the test, failed if any check was.
failures=0
check() {
    [ "$2" = "$3" ] || { printf 'FAIL: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"; failures=$((failures + 1)); }
}
finish() {
    [ "$failures" -eq 0 ] && echo "all checks passed"
    exit $((failures > 0))
}
