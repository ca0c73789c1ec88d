#!/usr/bin/env bash
# Prints the Tag Inspector's grid (attribute, value) for the tag at a caret
# point of the current document, using only quorvant-ctl.
#   inspect_tag.sh X Y DATA_FOLDER     (quorvant-ctl from $QUORVANT_CTL or PATH)
set -eu
x=$1
y=$2
data=$3
ctl() { "${QUORVANT_CTL:-quorvant-ctl}" --data-dir "$data" "$@"; }

# The inspector is a page of the sidebar; it reads the tag a click lands in.
page=$(ctl Rows Sidebar | grep -nx "Tag Inspector" | cut -d: -f1)
ctl SelectPage Sidebar $((page - 1))
ctl Click "$x" "$y"
ctl Rows MainGrid | grep -v '^current '
