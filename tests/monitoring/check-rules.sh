#!/bin/sh
# The example alert rules of res/monitoring: Prometheus takes them
# (promtool check rules), each fires on what it is about and keeps quiet
# otherwise (promtool test rules), and every metric they name is one that
# qmverify-cli writes (the golden openmetrics output, which GoldenOutputTest
# holds to the real output byte for byte).
#
#   check-rules.sh RULES_DIR GOLDEN_METRICS
#
# Exit status 77 (skipped) without promtool, 1 on the first failed check.
set -eu
rules=$1
golden=$2
if ! command -v promtool >/dev/null 2>&1; then
  echo "promtool is not installed (scripts/setup installs prometheus): skipped"
  exit 77
fi
promtool check rules "$rules/qmverify.rules.yml"
(cd "$rules" && promtool test rules qmverify.rules.test.yml)
names=$(grep -o 'qmverify_[a-z_]*' "$rules/qmverify.rules.yml" | sort -u)
for name in $names; do
  grep -q "^# TYPE $name gauge$" "$golden" || {
    echo "FAIL: the rules name $name, which qmverify-cli does not write"
    exit 1
  }
done
echo "alert rules: all checks passed ($(echo "$names" | wc -l) metrics named)"
