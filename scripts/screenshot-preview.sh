#!/usr/bin/env bash
# Regenerates docs/preview-1.png to docs/preview-3.png: the stand-in host's window and the real
# dialog under Xvfb while the preview follows the typing (before the preview, ticked, the count
# typed), taken by the screen test from the X server. Uses the 32-bit Windows tree (build/windows).
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
. "$root/scripts/build.sh"
qv_build windows windows-preview-shot >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QV_SCREEN_KEEP="Z:$(printf '%s' "$work" | tr / '\\')" \
    sh "$root/tests/screen/screen_test.sh" "$build/windows/plugin/screen_test.exe" \
    --gtest_filter='*Cancel*' >/dev/null
n=1
for step in "before the preview" "the preview ticked" "the count typed"; do
    cp "$work/$step.png" "$root/docs/preview-$n.png"
    echo "wrote docs/preview-$n.png ($step)"
    n=$((n + 1))
done
