#!/usr/bin/env bash
# Runs one scenario of the main window through velmar-harness and checks its expectations.
#
#   run_scenario.sh HARNESS DISC SCENARIO
#
# A scenario is a text file, one line each:
#   # ...                  a comment (also blank lines)
#   check JQ-EXPRESSION    the window's state right now (a harness dump) must make the jq
#                          expression true; earlier saved values are jq variables ($name)
#   save NAME JQ-EXPRESSION  keeps the expression's value on the dump of right now as $NAME
#   def ...;               a jq definition put before every later expression (common.jq beside
#                          the scenarios holds the shared ones)
#   anything else          a harness command (click X Y, key Enter, wait MS, ...)
# The scenario fails on a false or broken expression and on any command the harness refuses.
set -u
harness=$1 disc=$2 scenario=$3

commands=()
checks=() # "dump-index<TAB>kind<TAB>name<TAB>expression<TAB>line-number"
dumps=0
# common.jq beside the scenarios holds definitions every scenario may use.
defs=""
common=$(dirname "$scenario")/common.jq
if [[ -f $common ]]; then
    while IFS= read -r line || [[ -n $line ]]; do
        [[ $line =~ ^def[[:space:]] ]] && defs+="$line "
    done < "$common"
fi
line_number=0
while IFS= read -r line || [[ -n $line ]]; do
    line_number=$((line_number + 1))
    line=${line%$'\r'}
    [[ -z ${line//[[:space:]]/} || $line =~ ^[[:space:]]*# ]] && continue
    if [[ $line =~ ^def[[:space:]] ]]; then
        defs+="$line "
    elif [[ $line =~ ^check[[:space:]]+(.*)$ ]]; then
        commands+=("dump")
        checks+=("$dumps"$'\t'"check"$'\t'"-"$'\t'"$defs${BASH_REMATCH[1]}"$'\t'"$line_number")
        dumps=$((dumps + 1))
    elif [[ $line =~ ^save[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[[:space:]]+(.*)$ ]]; then
        commands+=("dump")
        checks+=("$dumps"$'\t'"save"$'\t'"${BASH_REMATCH[1]}"$'\t'"$defs${BASH_REMATCH[2]}"$'\t'"$line_number")
        dumps=$((dumps + 1))
    else
        commands+=("$line")
    fi
done < "$scenario"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\n' "${commands[@]}" quit | "$harness" "$disc" > "$work/out" 2> "$work/err"
status=$?
if [[ $status -ne 0 ]]; then
    echo "velmar-harness exited with $status"; cat "$work/err"; exit 1
fi
if grep -qE 'runtime error|Sanitizer' "$work/err"; then
    echo "a sanitizer reported:"; grep -E -A5 'runtime error|Sanitizer' "$work/err" | head -40; exit 1
fi
if grep -q '^velmar-harness:' "$work/err"; then
    echo "the harness refused a command:"; grep '^velmar-harness:' "$work/err"; exit 1
fi
mapfile -t out < "$work/out"
if [[ ${#out[@]} -ne $dumps ]]; then
    echo "expected $dumps dumps, got ${#out[@]}"; cat "$work/err"; exit 1
fi

failed=0
vars=()
for record in "${checks[@]}"; do
    IFS=$'\t' read -r index kind name expression at <<< "$record"
    dump=${out[$index]}
    if [[ $kind == save ]]; then
        if ! value=$(jq -c "${vars[@]}" "$expression" <<< "$dump" 2> "$work/jq"); then
            echo "line $at: save $name: $(cat "$work/jq")"; failed=1; continue
        fi
        vars+=(--argjson "$name" "$value")
        continue
    fi
    if ! jq -e "${vars[@]}" "$expression" <<< "$dump" > /dev/null 2> "$work/jq"; then
        echo "line $at: FAILED: check ${expression#"$defs"}"
        [[ -s $work/jq ]] && cat "$work/jq"
        jq -c '{info, errors, shell, focus, state: .state, viewer, player}' <<< "$dump"
        failed=1
    fi
done
[[ $failed -eq 0 ]] && echo "$(basename "$scenario"): ${#checks[@]} checks passed"
exit $failed
