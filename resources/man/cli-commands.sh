#!/bin/sh
# Writes the COMMANDS section of corvane-cli's man page (a help2man include file) from the
# program itself: every subcommand that `corvane-cli --help` lists, with the usage line,
# summary and own options of `corvane-cli <command> --help`. The page is made at build time,
# so it always describes the program as built.
# Usage: cli-commands.sh <corvane-cli> > corvane-cli-commands.h2m
set -eu
cli=$1

# The option column of an option line ("  --port <port>  The radio's ...": "--port <port>").
heads='/^Options:/ { on = 1; next } on && /^  -/ { sub(/^  /, ""); sub(/  .*/, ""); print }'

commands=$("$cli" --help | awk '/^Commands:/ { on = 1; next } on && /^$/ { exit } on && /^  [^ ]/ { print $1 }')
[ -n "$commands" ] || { echo "cli-commands.sh: $cli --help lists no commands" >&2; exit 1; }
common=$("$cli" --help | awk "$heads")

echo '[COMMANDS]'
echo 'The options above are for the commands that talk to the radio (analyze, chart and print'
echo 'only read files); the commands with options of their own list them below.'
for command in $commands; do
    "$cli" "$command" --help | awk -v common="$common" -v command="$command" '
        # Help text as roff: backslashes and minus signs escaped, no leading control character.
        function text(s) {
            gsub(/\\/, "\\e", s); gsub(/-/, "\\-", s)
            return s ~ /^[.\047]/ ? "\\&" s : s
        }
        BEGIN {
            n = split(common, lines, "\n")
            for (i = 1; i <= n; ++i) known[lines[i]] = 1
            print ".SS \"" command "\""
        }
        NR == 1 { sub(/^Usage: /, ""); print ".B " text($0); print ".br"; next }
        NR == 2 { print text($0); next }
        /^Options:/ { options = 1; next }
        options && /^  -/ {
            head = $0; sub(/^  /, "", head); sub(/  .*/, "", head)
            own = !(head in known)
            if (!own) next
            rest = $0; sub(/^  [^ ]+( [^ ]+)*  +/, "", rest)
            words = split(head, w, " "); head = ""
            for (i = 1; i <= words; ++i)
                head = head (i > 1 ? " " : "") (w[i] ~ /^-/ ? "\\fB" text(w[i]) "\\fR" : text(w[i]))
            print ".TP"; print head; print text(rest); next
        }
        options && own && /^    / { sub(/^ +/, ""); print text($0) }
    '
done
