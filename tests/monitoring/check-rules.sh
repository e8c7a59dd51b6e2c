#!/bin/sh
# The example alert rules of res/monitoring (every NAME.rules.yml beside its
# NAME.rules.test.yml): Prometheus takes them (promtool check rules), each
# fires on what it is about and keeps quiet otherwise (promtool test rules),
# and every metric they name is one that qmverify-cli writes (the golden
# openmetrics output, which GoldenOutputTest holds to the real output byte
# for byte).
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
count=0
for file in "$rules"/*.rules.yml; do
  base=$(basename "$file" .yml)
  promtool check rules "$file"
  (cd "$rules" && promtool test rules "$base.test.yml")
  for name in $(grep -o 'qmverify_[a-z_]*' "$file" | sort -u); do
    grep -q "^# TYPE $name gauge$" "$golden" || {
      echo "FAIL: $base names $name, which qmverify-cli does not write"
      exit 1
    }
    count=$((count + 1))
  done
done
echo "alert rules: all checks passed ($count metrics named)"
