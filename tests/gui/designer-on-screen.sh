#!/usr/bin/env bash
# A person's session with the designer, on a virtual X server, with the
# host's UI in Czech (ANSI code page 1250):
#   halvex open DEMO --gui; the host's Plug-ins menu, its Tarnwell entry; the
#   designer opens; another program (xclip) puts a text on the clipboard, then
#   a designer copy of an object, then a text again, and Ctrl+V on the design
#   surface after each is refused, pastes the object (placed by a click), is
#   refused; after the designer copy, a program that copied a text and ended
#   leaves the clipboard without owner, and Ctrl+V finds nothing to paste
#   (not the designer copy again); the mouse resting on a tool button shows its hint; a
#   double click on the title of the first page opens its properties, where
#   a text another program copied is pasted into its caption and Czech and
#   Polish letters are typed after it (and a letter that
#   1250 lacks is not), and its "..." button opens the host's variable
#   browser, in which the person chooses the visibility variable; a
#   click in the page tree and the arrow keys choose the
#   page "Diagnostics", passing "Settings", which holds an object of an
#   unknown kind: the designer tells so in a message box, which the person
#   closes; an object on "Diagnostics" is dragged; the tool button that deletes a page asks, the
#   person answers No, then asks again and the person answers Yes; the Save
#   button saves and compiles, and the person closes the compile's status
#   window; the program gets SIGTERM and closes as always.
# Checked: every window came, the saved web project lacks the deleted page
# and keeps the others and the pasted object, the title holds the pasted
# text and the typed letters and the chosen variable, the compile wrote the
# web tree, the run ended with 143 (stopped by SIGTERM) and listed every form and box once, in the
# order shown, as answered by the person.
# Screens: SCREENS/NN-step.png (xwd through ImageMagick).
#
# usage: designer-on-screen.sh HALVEX PLUGIN DEMO_FOLDER SCREENS_FOLDER
set -euo pipefail
trap 'echo "FAILED at line $LINENO: $BASH_COMMAND"' ERR

halvex=$1
plugin=$2
demo=$3
screens=$4
for tool in Xvfb xdotool xprop xmodmap xwd convert xclip; do
  command -v "$tool" > /dev/null || { echo "missing tool: $tool (scripts/packages.txt)"; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
halvex_pid=""
cleanup() {
  [[ -n "$halvex_pid" ]] && kill -TERM "$halvex_pid" 2> /dev/null && wait "$halvex_pid" 2> /dev/null || true
  [[ -n "$xvfb_pid" ]] && kill -TERM "$xvfb_pid" 2> /dev/null && wait "$xvfb_pid" 2> /dev/null || true
  [[ -f "$work/run.log" ]] && cp "$work/run.log" "$screens/halvex.log"
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  [[ -f "$work/run.log" ]] && tail -30 "$work/run.log"
  exit 1
}

# Polls a condition ten times a second, for at most $2 seconds. Every step
# of the session waits so for the state it caused, never for a time: on a
# busy machine the program may take seconds to come to an event.
# $4, when given, is a command whose output tells what was seen instead.
wait_for() {
  local condition=$1 seconds=$2 what=$3 seen=${4:-}
  for ((i = 0; i < seconds * 10; i++)); do
    if eval "$condition"; then return 0; fi
    sleep 0.1
  done
  [[ -n "$seen" ]] && what="$what (seen: $(eval "$seen" 2>&1 | tr '\n' ' '))"
  fail "waited ${seconds}s for $what"
}

# --- the X server, on a display number it picks itself ---
# -noreset: the server keeps its keyboard map (set below) when its last client
# leaves, as it does between the tools' calls before the host connects.
coproc XVFB { exec Xvfb -displayfd 1 -noreset -screen 0 1280x1024x24 -nolisten tcp 2> "$work/xvfb.log"; }
xvfb_pid=$XVFB_PID
read -r -t 20 display <&"${XVFB[0]}" || fail "Xvfb did not start"
export DISPLAY=":$display"
# The Czech and Polish letters typed below are on no key of the server's
# keyboard: they go on spare keys (a letter and its capital) before the host
# starts. Left to itself, xdotool would map a spare key anew for each press,
# and a client that reads its keys later than they were pressed would read a
# later letter's mapping for an earlier press.
letters=(ccaron rcaron ecaron uring scaron zcaron lstroke zabovedot aring)
mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 && $2 > 8 { print $2 }')
(( ${#spare[@]} >= ${#letters[@]} )) || fail "the X server's keyboard has too few spare keys"
for i in "${!letters[@]}"; do
  echo "keycode ${spare[$i]} = ${letters[$i]} ${letters[$i]^}"
done | xmodmap - || fail "the letters could not be put on spare keys"
export TARNWELL_X11_CONTROL_MAP=1
export HALVEX_HOME="$work/home"

rm -rf "$screens"
mkdir -p "$screens"
shot=0
screen() {
  shot=$((shot + 1))
  # A screen is for a person to look at; one that could not be taken fails nothing.
  xwd -root -silent | convert xwd:- "$screens/$(printf %02d $shot)-$1.png" || echo "screen $1 not taken"
}

# The window whose class instance is $1 (a form's name, or Menu).
# Empty when there is none (xdotool's failure to find one is not the script's).
window_of() { { xdotool search --onlyvisible --classname "^$1\$" 2> /dev/null || true; } | head -1; }
# True when the window of class instance $1 is shown modally.
is_modal() {
  local window
  window=$(window_of "$1")
  [[ -n "$window" ]] && xprop -id "$window" _NET_WM_STATE 2> /dev/null | grep -q _NET_WM_STATE_MODAL
}
# "left top width height" of the control $2 of window $1, in the window.
control_rect() {
  xprop -notype -id "$1" _TARNWELL_CONTROLS | sed -e 's/^[^"]*"//' -e 's/"$//' -e 's/\\n/\n/g' |
    awk -v name="$2" '{ n = $5; for (i = 6; i <= NF; i++) n = n " " $i } n == name { print $1, $2, $3, $4; exit }'
}
# Moves to the point ($3, $4) of control $2 of window $1 (its middle when not given).
point_in() {
  local window=$1 name=$2 rect
  rect=$(control_rect "$window" "$name")
  [[ -n "$rect" ]] || fail "no control \"$name\" in window $window"
  read -r cl ct cw ch <<< "$rect"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  local dx=${3:-$((cw / 2))} dy=${4:-$((ch / 2))}
  echo $((X + cl + dx)) $((Y + ct + dy))
}
click_control() {
  read -r px py < <(point_in "$@")
  xdotool mousemove "$px" "$py" click 1
}
# Waits until the window of class instance $1 is shown with its control $2
# painted (the map is published after the window's pixels).
wait_shown() {
  wait_for "[[ -n \"\$(window_of $1)\" ]] && [[ -n \"\$(control_rect \"\$(window_of $1)\" $2)\" ]]" "$3" "$4"
}
# The name of the design-surface object under the point ($2, $3) of the
# control sbDesign1 of window $1 (the topmost: the map lists them in order).
object_at() {
  local rect
  rect=$(control_rect "$1" sbDesign1)
  read -r sl st _ _ <<< "$rect"
  xprop -notype -id "$1" _TARNWELL_CONTROLS | sed -e 's/^[^"]*"//' -e 's/"$//' -e 's/\\n/\n/g' |
    awk -v x=$((sl + $2)) -v y=$((st + $3)) '$5 == "Object" && NF == 6 && x >= $1 && x < $1 + $3 && y >= $2 && y < $2 + $4 { found = $5 " " $6 } END { print found }'
}

# Another program puts $1 on the clipboard (xclip holds it, in the
# background, until another client takes the clipboard). xclip returns before
# its background process holds the clipboard: the offer waits until it does.
offer() {
  offered=$1
  printf %s "$offered" | xclip -selection clipboard
  wait_for '[[ "$(xclip -selection clipboard -o 2> /dev/null)" == "$offered" ]]' 20 "the clipboard to hold \"$offered\""
}

# --- the host with the plug-in, on the screen ---
cp -r "$demo" "$work/demo"
sed -i 's/^language 1033$/language 1029/' "$work/demo/halvex.prj"
grep -q '^language 1029$' "$work/demo/halvex.prj" || fail "the demo's host project did not take the Czech UI"
sed -i 's|^\(\t\t<page caption="Settings" .*>\r\)$|\1\n\t\t\t<object caption="odd" X="3" Y="3" Uid="1999"><gizmo /></object>\r|' \
  "$work/demo/Tarnwell/Demo.xml"
grep -q '<gizmo />' "$work/demo/Tarnwell/Demo.xml" || fail "the object of an unknown kind did not go into the demo"
"$halvex" register "$plugin" > "$work/register.log" 2>&1 || fail "register: $(cat "$work/register.log")"
"$halvex" open "$work/demo" --gui > "$work/run.log" 2>&1 &
halvex_pid=$!

wait_for '[[ -n "$(window_of HalvexMainForm)" ]] && [[ -n "$(control_rect "$(window_of HalvexMainForm)" mnuPlugins)" ]]' 60 \
  "the Halvex window"
main=$(window_of HalvexMainForm)
[[ "$(xdotool getwindowname "$main")" == Halvex ]] || fail "the main window is not named Halvex"
screen host

# The host's menu: Plug-ins, then its entry Tarnwell.
click_control "$main" mnuPlugins
wait_shown Menu Tarnwell 20 "the Plug-ins menu"
menu=$(window_of Menu)
screen plugins-menu
click_control "$menu" Tarnwell
wait_for '[[ -n "$(window_of FormDesign1)" ]] && [[ -n "$(control_rect "$(window_of FormDesign1)" tvPageList)" ]]' 60 \
  "the designer"
designer=$(window_of FormDesign1)
[[ -z "$(window_of Menu)" ]] || fail "the menu stayed open"
screen designer

# Ctrl+V on the surface pastes what the clipboard holds when it is pressed:
# a text that is no designer copy is refused with a message box.
paste_refused() {
  click_control "$designer" sbDesign1 600 420
  xdotool key ctrl+v
  wait_shown MessageForm Button1 20 "the refusal of the paste of \"$1\""
  screen "paste-refused-$1"
  click_control "$(window_of MessageForm)" Button1
  wait_for '[[ -z "$(window_of MessageForm)" ]]' 20 "the refusal to close"
}
offer AAA
paste_refused AAA
# A designer copy: the pasted object follows the mouse until a click places it.
offer '<clipboard src="x" Grid="1"><object caption="Pasted" X="1" Y="1"><label /></object></clipboard>'
click_control "$designer" sbDesign1 600 420
xdotool key ctrl+v
wait_for '[[ -n "$(control_rect "$designer" GridInsert)" ]] || [[ -n "$(window_of MessageForm)" ]]' 20 \
  "the pasted object to follow the mouse"
[[ -z "$(window_of MessageForm)" ]] || { screen paste-wrongly-refused; fail "the designer copy was refused"; }
following=$(control_rect "$designer" GridInsert)
read -r px py < <(point_in "$designer" sbDesign1 500 400)
xdotool mousemove "$px" "$py"
wait_for '[[ "$(control_rect "$designer" GridInsert)" != "$following" ]]' 20 "the pasted object to follow the mouse there"
xdotool click 1
wait_for '[[ -z "$(control_rect "$designer" GridInsert)" ]]' 20 "the pasted object to be placed"
screen pasted
# Another program copies a text and ends before the paste: the clipboard has
# no owner and holds nothing, not the designer copy pasted before.
printf CCC | xclip -quiet -selection clipboard > /dev/null 2>&1 &
xclip_pid=$!
wait_for '[[ "$(xclip -selection clipboard -o 2> /dev/null)" == CCC ]]' 20 "the short-lived program to hold the clipboard"
kill "$xclip_pid"
wait "$xclip_pid" 2> /dev/null || true
# Nothing happens; a copy pasted again would follow the mouse and be placed
# by the next click (the saved project is checked below). The click is away
# from the next one, which would make a double click of the two.
click_control "$designer" sbDesign1 720 470
xdotool key ctrl+v
# The mouse resting on a tool button shows the button's hint below the mouse.
# The program takes its events in order: when the hint shows, the Ctrl+V
# before it was handled (and found nothing), and the next offer cannot reach it.
read -r hx hy < <(point_in "$designer" btnAddGroup)
xdotool mousemove "$hx" "$hy"
wait_for '[[ -n "$(window_of HintWindow)" ]]' 20 "the hint of the button Add group"
screen hint
[[ -z "$(window_of MessageForm)" ]] || fail "Ctrl+V with a clipboard without owner was refused with a box"
[[ -z "$(control_rect "$designer" GridInsert)" ]] || fail "Ctrl+V with a clipboard without owner pasted an object"
offer BBB
paste_refused BBB

# The first page's title (a label): a double click opens its properties.
click_control "$designer" tvPageList 60 8
read -r lx ly < <(point_in "$designer" sbDesign1 60 12)
xdotool mousemove "$lx" "$ly" click --repeat 2 1
wait_for '[[ -n "$(window_of T?FormLabelProperties)" ]] && [[ -n "$(control_rect "$(window_of T?FormLabelProperties)" edtCaption1)" ]]' 20 \
  "the properties of the page's title"
props=$(window_of T?FormLabelProperties)
# A text another program copied is pasted at the end of the caption, Czech
# and Polish letters follow; the last, a, is not in code page 1250 and is not
# typed. Shift with a letter's spare key types its capital.
offer " no. 2"
click_control "$props" edtCaption1
xdotool key End ctrl+v space ccaron rcaron ecaron uring scaron zcaron shift+ccaron lstroke zabovedot aring
screen czech-letters
# The visibility variable's "..." button: the host's variable browser; the
# person clicks its first row, goes one row down and presses OK.
click_control "$props" btnVis
wait_for '[[ -n "$(window_of HostVariableBrowser)" ]] && [[ -n "$(control_rect "$(window_of HostVariableBrowser)" lbVariables)" ]]' 20 \
  "the host's variable browser"
browser=$(window_of HostVariableBrowser)
click_control "$browser" lbVariables 30 8
xdotool key Down
screen variable-browser
click_control "$browser" btnOk
wait_for '[[ -z "$(window_of HostVariableBrowser)" ]]' 20 "the variable browser to close"
screen variable-chosen
click_control "$props" Button1
wait_for '[[ -z "$(window_of T?FormLabelProperties)" ]]' 20 "the properties of the page's title to close"

# The page tree: a click on its first row, then two rows down: Settings,
# whose object of an unknown kind the designer tells in a box; two more rows
# down: Diagnostics.
click_control "$designer" tvPageList 60 8
xdotool key Down Down
wait_shown MessageForm Button1 20 "the box about the object that could not be loaded"
screen object-not-loaded
click_control "$(window_of MessageForm)" Button1
wait_for '[[ -z "$(window_of MessageForm)" ]]' 20 "the box about the object to close"
xdotool key Down Down
# The page is shown when the surface holds its first object.
first=$(awk '/<page caption="Diagnostics"/ { on = 1 } on && /<object / { match($0, /Uid="[0-9]+"/); print substr($0, RSTART + 5, RLENGTH - 6); exit }' \
  "$work/demo/Tarnwell/Demo.xml")
[[ -n "$first" ]] || fail "the page Diagnostics has no object in the demo"
wait_for '[[ -n "$(control_rect "$designer" "Object $first")" ]]' 20 "the page Diagnostics to be shown"
screen page-diagnostics

# An object of the page is dragged on the surface; it moves, and the undo
# button is enabled.
dragged=$(object_at "$designer" 60 12)
[[ -n "$dragged" ]] || fail "no object at the point the drag starts from"
was=$(control_rect "$designer" "$dragged")
read -r sx sy < <(point_in "$designer" sbDesign1 60 12)
xdotool mousemove "$sx" "$sy" mousedown 1 mousemove $((sx + 20)) $((sy + 20)) mousemove $((sx + 60)) $((sy + 50)) mouseup 1
wait_for '[[ "$(control_rect "$designer" "$dragged")" != "$was" ]] && [[ -n "$(control_rect "$designer" tbUndo)" ]]' 20 \
  "the dragged object to move and the undo button to be enabled" \
  'echo "$dragged at $(control_rect "$designer" "$dragged"), was $was;"; xprop -notype -id "$designer" _TARNWELL_CONTROLS | grep -o "[^n]*tbUndo[^\\\\]*"'
read -r wl wt _ _ <<< "$was"
read -r nl nt _ _ <<< "$(control_rect "$designer" "$dragged")"
((nl > wl + 30 && nt > wt + 20)) || fail "$dragged moved from $wl,$wt to $nl,$nt, not by the drag"
screen dragged

# Delete the page: the designer asks, the person presses No; again, and the
# person presses Yes.
click_control "$designer" btnDeletePage
wait_shown MessageForm Button7 20 "the question before deleting"
click_control "$(window_of MessageForm)" Button7
wait_for '[[ -z "$(window_of MessageForm)" ]]' 20 "the question answered No to close"
click_control "$designer" btnDeletePage
wait_shown MessageForm Button6 20 "the question before deleting, again"
question=$(window_of MessageForm)
screen question
click_control "$question" Button6
wait_for '[[ -z "$(window_of MessageForm)" ]]' 20 "the question to close"
screen page-deleted

# Save (and compile): the compile's status window shows its progress; when
# the compile is done it waits, modal, for its OK.
before=$(stat -c %Y "$work/demo/Tarnwell/Demo.xml")
click_control "$designer" btnSave1
wait_for 'is_modal TFormStatus1' 120 "the compile's status window waiting for its OK"
status_window=$(window_of TFormStatus1)
[[ -n "$status_window" ]] || fail "the status window went away before its OK was pressed"
screen compiled
click_control "$status_window" Button1
wait_for '[[ -z "$(window_of TFormStatus1)" ]]' 20 "the status window to close"
wait_for '! grep -q "Diagnostics" "$work/demo/Tarnwell/Demo.xml"' 20 "the saved project without the page"
screen saved

# The program is stopped from outside and closes as always.
kill -TERM "$halvex_pid"
status=0
wait "$halvex_pid" || status=$?
halvex_pid=""
[[ $status -eq 143 ]] || fail "halvex ended with $status, not 143 (stopped by SIGTERM)"
grep -q "stopped by a signal" "$work/run.log" || fail "the run did not say it was stopped"
# Each form and box once (first the refusals of the two pastes that found no
# designer copy), in the order the person saw them, with their answers.
expected=(
  'message box "Tarnwell": "[^"]*" answered OK \(by the person\)'
  'message box "Tarnwell": "[^"]*" answered OK \(by the person\)'
  'modal form TFormLabelProperties "[^"]*" closed with result 1 \(by the person\)'
  'modal form THostVariableBrowser "[^"]*" closed with result 1 \(by the person\)'
  'message box "halvex": "[^"]*: Objekt 1: [^ ]+ [^ ]+ "gizmo"" answered OK \(by the person\)'
  'message box "Tarnwell": "[^"]*" answered No \(by the person\)'
  'message box "Tarnwell": "[^"]*" answered Yes \(by the person\)'
  'modal form TFormStatus1 "[^"]*" closed with result 1 \(by the person\)'
)
mapfile -t asked < <(sed -n '/^questions:$/,/^[^ ]/{/^  /p}' "$work/run.log")
(( ${#asked[@]} == ${#expected[@]} )) || fail "the run listed ${#asked[@]} questions, not ${#expected[@]}: $(printf '\n%s' "${asked[@]}")"
for i in "${!expected[@]}"; do
  [[ "${asked[$i]}" =~ ^\ \ ${expected[$i]}$ ]] || fail "question $((i + 1)) is \"${asked[$i]}\", not /${expected[$i]}/"
done

# The saved project: the deleted page is gone, the other pages stay.
for page in Overview Settings Schematic; do
  grep -q "$page" "$work/demo/Tarnwell/Demo.xml" || fail "the page $page went missing from the saved project"
done
pasted=$(grep -o 'caption="Pasted"' "$work/demo/Tarnwell/Demo.xml" | wc -l)
(( pasted == 1 )) || fail "the saved project holds the pasted object $pasted times, not once"
# The title: the pasted text, the typed letters in code page 1250 (c, r, e with caron, u with
# ring, s, z, C with caron, l with stroke, z with dot) and no a with ring;
# its visibility variable is the browser's second row.
title=$(LC_ALL=C grep -a -o 'caption="Pumping station[^"]*"' "$work/demo/Tarnwell/Demo.xml" | head -1)
[[ "$title" == 'caption="Pumping station no. 2 '$'\xe8\xf8\xec\xf9\x9a\x9e\xc8\xb3\xbf''"' ]] ||
  fail "the title's caption is not what was typed: $(printf %s "$title" | od -c | head -3)"
LC_ALL=C grep -a -A4 'caption="Pumping station ' "$work/demo/Tarnwell/Demo.xml" | grep -q 'visvar="StopButton"' ||
  fail "the title's visibility variable is not the one chosen in the browser"
(( $(stat -c %Y "$work/demo/Tarnwell/Demo.xml") >= before )) || fail "Demo.xml was not written"
[[ -d "$work/demo/SendRoot/WWW" ]] || fail "no web tree compiled under SendRoot/WWW"
echo "1 passed, 0 failed"
