#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a validator (desktop-file-validate, appstreamcli validate) on a file and
# passes only when it neither fails nor remarks anything, AppStream's pedantic
# "P:" remarks aside.   usage: validator_is_silent.sh TOOL [ARGS...] FILE
command -v "$1" >/dev/null || { echo "$1 is not installed"; exit 77; }
out=$("$@" 2>&1)
status=$?
printf '%s\n' "$out"
[ $status -eq 0 ] && ! printf '%s\n' "$out" | grep -Eq '^[EWI]: |: (error|warning|hint): '
