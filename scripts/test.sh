#!/usr/bin/env bash
# Installs what the tests need, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# starts the test services on loopback and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps
bash scripts/check-format
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"

bash scripts/test-services start
trap 'bash scripts/test-services stop' EXIT

# Tests that need PostgreSQL fail rather than skip when it is missing here.
export RILLFETCH_REQUIRE_SERVICES=1
ctest --preset asan -j"$(nproc)"
