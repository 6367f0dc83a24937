#!/usr/bin/env bash
# One vorla-cli case. Runs the tool in WORKDIR, checks its exit status, compares its stdout with
# a golden file (UPDATE_GOLDEN=1 rewrites it) and looks for a text in its stderr.
# usage: cli_case.sh CLI WORKDIR EXIT GOLDEN|- STDERR_TEXT|- ARGS...
set -u
cli=$1 workdir=$2 want_exit=$3 golden=$4 want_err=$5
shift 5
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
(cd "$workdir" && "$cli" "$@") >"$out" 2>"$err"
status=$?
fail=0
if [ "$status" -ne "$want_exit" ]; then
  echo "exit status $status, expected $want_exit"; fail=1
fi
if [ "$golden" != "-" ]; then
  if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$out" "$golden"
  elif ! diff -u "$golden" "$out"; then
    fail=1
  fi
fi
if [ "$want_err" != "-" ] && ! grep -qF -- "$want_err" "$err"; then
  echo "stderr lacks: $want_err"; fail=1
fi
if [ $fail -ne 0 ]; then echo "--- stderr:"; cat "$err"; fi
exit $fail
