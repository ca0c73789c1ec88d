#!/usr/bin/env bash
# Sets the editor's tab width through the Environment Options dialog, using
# only quorvant-ctl, and prints the TabWidth line of Editor.INI afterwards.
#   set_tab_width.sh WIDTH DATA_FOLDER     (quorvant-ctl from $QUORVANT_CTL or PATH)
set -eu
width=$1
data=$2
ctl() { "${QUORVANT_CTL:-quorvant-ctl}" --data-dir "$data" "$@"; }

ctl Trigger EnvironmentOptions1
ctl WindowTitles | grep -qx "Environment Options"
ctl SetProperty tabWidth value "$width"
[ "$(ctl Property tabWidth value)" == "$width" ]
ctl Trigger OK
! ctl WindowTitles | grep -qx "Environment Options"
grep -a '^TabWidth=' "$data/Editor.INI" | tr -d '\r'
