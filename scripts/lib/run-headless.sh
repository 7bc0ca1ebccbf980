#!/usr/bin/env bash
# Runs the program in DEMO under a private Xvfb, checks for news with real
# input events and saves screenshots into OUT.
set -euo pipefail
demo=$1 out=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xvfb-session.sh"
start_xvfb trap

start_program "$demo/vm_ver32"
shot "$out/start.png"
# "&Sprawdź co nowego ?" heads the action buttons.
click 90 50
wait_for_status_change 15
shot "$out/news-and-verdict.png"
# "VEMO Test", over the lower left corner of the news view: the same display
# from the files now in the program directory, without a connection.
click 230 290
shot "$out/test-button.png"
# The "Parametry" tab.
click 30 12
shot "$out/parameters.png"
# "&Koniec" lives on the "Co nowego" page.
click 115 12
close_program
