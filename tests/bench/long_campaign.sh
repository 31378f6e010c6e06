#!/usr/bin/env bash
# Long run: the automatic player plays every level of the campaign headless (fixed seed, up to three
# attempts a level) with the tests' build of the given folder. Prints the run's log and its
# "bench-row:" lines (levels won at the first attempt, the slowest level's frame figures).
#
# Usage: tests/bench/long_campaign.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"; fi
exe="$build/bin/tests_game"
[ -x "$exe" ] || { echo "long_campaign: $exe is missing (configure with -DVESK_TESTS=ON)" >&2; exit 1; }
export SDL_AUDIODRIVER=dummy VESK_SILENT_ERRORS=1 LIBGL_ALWAYS_SOFTWARE=1
"$exe" --gtest_also_run_disabled_tests --gtest_filter='AutoPlayerCampaign.DISABLED_EveryLevelIsWonWithinThreeAttempts'
