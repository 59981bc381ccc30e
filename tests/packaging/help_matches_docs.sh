#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages and the shell completion must name every option and command
# that the programs' --help lists (for wayplot2-tool: every usage line and the
# options of every command's own --help), and both programs must print the
# project's version.   usage: help_matches_docs.sh VERSION MANDIR COMPLETIONDIR TOOL [PROGRAM]
version=$1 mandir=$2 completions=$3 tool=$4 program=${5:-}
bash_completion=/usr/share/bash-completion/bash_completion
for need in groff bash; do
    command -v $need >/dev/null || { echo "$need is not installed"; exit 77; }
done
[ -r $bash_completion ] || { echo "bash-completion is not installed"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page as plain text, each paragraph on one line so nothing is hyphenated.
page_text() { groff -t -man -Tascii -rLL=5000n -P-cbou "$mandir/$1"; }
# What the completion of COMMAND offers after the words: completes COMMAND WORD...
# The completion asks the tool (found on the PATH) for its commands and options.
PATH=$(dirname "$tool"):$PATH
completes() {
    bash -c '. "$0"; . "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             $(complete -p "$1" | sed "s/.*-F \([^ ]*\) .*/\1/")
             printf "%s\n" "${COMPREPLY[@]}"' $bash_completion "$completions/$1" "$@"
}
options_of() { grep -o -- '--[a-z][a-z-]*' | sort -u; }

# check NAME PAGE WORD...: every word stands whole in the page.
check_words() {
    name=$1 text=$(page_text "$2"); shift 2
    for w in "$@"; do
        printf '%s\n' "$text" | grep -qw -- "$w" || fail "$name: '$w' is not in its manual page"
    done
}

# wayplot2-tool: options anywhere in the help; commands are the first word of
# each line under "Commands:", each with a section of its own; sub-commands,
# keywords and file kinds are the lower-case words of those lines.
help=$("$tool" --help) || fail "wayplot2-tool --help failed"
usages=$(printf '%s\n' "$help" | sed -n '/^Commands:/,$p' | tail -n +2)
commands=$(printf '%s\n' "$usages" | awk '$1 != "" && $1 ~ /^[a-z]/ {print $1}' | sort -u)
keywords=$(printf '%s\n' "$usages" | tr ' |[]{},.' '\n\n\n\n\n\n\n\n' | grep -x '[a-z][a-z-]*' | sort -u)
[ -n "$commands" ] || fail "wayplot2-tool --help lists no commands"
check_words wayplot2-tool wayplot2-tool.1 $(printf '%s\n' "$help" | options_of) $keywords
tool_text=$(page_text wayplot2-tool.1)
offered=$(completes wayplot2-tool "")
for c in $commands; do
    printf '%s\n' "$tool_text" | grep -Eq "^ +$c\$" || fail "wayplot2-tool: command '$c' has no section"
    printf '%s\n' "$offered" | grep -qx "$c" || fail "wayplot2-tool: completion does not offer '$c'"
done
# The page's COMMANDS section holds the usage lines of --help, no more and no
# fewer; each entry's --help (what the tool takes, from its command table)
# names options that the page describes and the completion offers there, and
# the completion offers the sub-commands.
lines=$(printf '%s\n' "$usages" | sed -n 's/^ *\([a-z]\)/\1/p')
[ "$(printf '%s\n' "$tool_text" | sed -n '/^COMMANDS$/,/^[A-Z]/s/^       \([a-z]\)/\1/p' | sort)" = \
  "$(printf '%s\n' "$lines" | sort)" ] || fail "wayplot2-tool: the usage lines of --help and the page differ"
while IFS= read -r line; do
    entry=$(printf '%s\n' "$line" | grep -o '^[a-z]*\( [a-z][a-z-]*\)\?')
    options=$("$tool" $entry --help | sed -n '/^Options:/,$p' | options_of)
    [ -n "$options" ] || fail "wayplot2-tool $entry --help lists no options"
    check_words "wayplot2-tool $entry" wayplot2-tool.1 $options
    offered=$(completes wayplot2-tool $entry --)
    for o in $options; do
        printf '%s\n' "$offered" | grep -qx -- "$o" ||
            fail "wayplot2-tool $entry: completion does not offer '$o'"
    done
    [ "${entry#* }" = "$entry" ] || completes wayplot2-tool ${entry% *} "" | grep -qx "${entry#* }" ||
        fail "wayplot2-tool: completion does not offer '$entry'"
done <<EOF
$lines
EOF
[ "$("$tool" version)" = "wayplot2-tool $version" ] || fail "wayplot2-tool version is not $version"
[ "$("$tool" --version)" = "wayplot2-tool $version" ] || fail "wayplot2-tool --version is not $version"

if [ -n "$program" ]; then
    options=$("$program" --help | options_of)
    [ -n "$options" ] || fail "wayplot2 --help lists no options"
    check_words wayplot2 wayplot2.1 $options
    offered=$(completes wayplot2 --)
    for o in $options; do
        printf '%s\n' "$offered" | grep -qx -- "$o" || fail "wayplot2: completion does not offer '$o'"
    done
    [ "$("$program" --version)" = "wayplot2 $version" ] || fail "wayplot2 --version is not $version"
fi
echo "$failures failures"
[ $failures -eq 0 ]
