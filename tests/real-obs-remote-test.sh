#!/usr/bin/env bash
# The dock following sources that another tool changes in a running OBS,
# through obs-websocket the way remote-control tools do: a new tone source is
# picked up, a rename retitles the upper view, a mute reaches the mute button,
# a deletion drops the binding for a fallback, a scene collection switch with a
# source bound leaves OBS up, each profile keeps its own choice, and the
# choice survives quitting and restarting, and removing a source whose
# properties and filters are open from the dock's menu leaves OBS up.
#
#   real-obs-remote-test.sh BUILD_DIR WORK_DIR
set -u
build=$1
work=$2
source "$(dirname "$0")/../tools/obs-session.sh"
source "$(dirname "$0")/real-obs-checks.sh"

remote() { python3 "$tools/obs_remote.py" "$@"; }
json_field() { # json_field KEY: of the JSON object on stdin; empty when there is none
	python3 -c 'import json, sys
try: print(json.load(sys.stdin)[sys.argv[1]])
except (ValueError, KeyError): pass' "$1"
}
bound_to() { count_lines "\\[tovrin\\] monitoring source '$1'\$"; }
bound_times() { [ "$(bound_to "$1")" = "$2" ]; }
wait_until() { # wait_until SECONDS COMMAND...
	local i
	for i in $(seq 1 $(($1 * 5))); do
		"${@:2}" && return 0
		sleep 0.2
	done
	return 1
}
obs_is_up() { kill -0 "$OBS_PID" 2>/dev/null; }
screenshot() { # screenshot NAME: the screen, with the pointer out of the way
	xdotool mousemove 1599 999
	sleep 0.2
	import -window root "$work/$1.png" 2>/dev/null
}

create_tone() { # create_tone NAME [SCENE]: prints the new input's uuid
	remote CreateInput "{\"sceneName\": \"${2:-Demo}\", \"inputName\": \"$1\", \"inputKind\": \"ffmpeg_source\",
		\"inputSettings\": {\"is_local_file\": true, \"local_file\": \"$OBS_HOME/tone.wav\", \"looping\": true}}" |
		json_field inputUuid
}

start_obs() { # start_obs NAME
	echo "OBS run '$1'"
	obs_session_start
	check "module loaded" obs_session_wait_log '\[tovrin\] loaded' 60
	check "obs-websocket answers" remote wait 30
	obs_session_fill_screen
	# The dock is put right two seconds after post-load; give it twice that.
	sleep 4
}

quit_obs() { # quit_obs NAME
	check_quit
	check "module unloaded" has_line '\[tovrin\] unloaded'
	check "no source held at any clearing" lacks_line 'Not all sources were cleared'
	check "no crash report" no_crash_report
	check "no fault logged by the module" lacks_line '\[tovrin\].*(error|fail)'
	check "no Qt warning on the dock's widgets" lacks_line 'name="tovrin'
	cp "$(obs_session_log)" "$work/$1.log" 2>/dev/null
}

# Nothing to bind at start; the first source with audio that appears is taken.
pick_up_new_source() {
	TONE=$(create_tone "Remote tone")
	check "new tone source bound" obs_session_wait_log "\\[tovrin\\] monitoring source 'Remote tone'" 5
	check "its audio reaches the dock" obs_session_wait_log '\[tovrin\] source audio flowing' 10
	check "its uuid saved in the profile" test "$(profile_value SourceUuid)" = "$TONE"
}

follow_rename() {
	sleep 1
	screenshot before-rename
	probe_views "$work/before-rename.png"
	local before
	before=$(probed input title_width)
	remote SetInputName "{\"inputUuid\": \"$TONE\", \"newInputName\": \"Tone\"}" >/dev/null
	sleep 1.5
	screenshot after-rename
	probe_views "$work/after-rename.png" "$work/dock-renamed.png"
	# Seven characters fewer of the bold title font are some fifty pixels.
	check "upper view titled before the rename ($before px)" at_least "$before" 40
	check "upper view retitled ($before to $(probed input title_width) px)" \
		awk -v a="$(probed input title_width)" -v b="$before" 'BEGIN { exit !(a > 0 && a <= b - 30) }'
	check "rename did not rebind" test "$(bound_to 'Tone')" = 0
}

set_muted() { # set_muted true|false SCREENSHOT
	remote SetInputMute "{\"inputUuid\": \"$TONE\", \"inputMuted\": $1}" >/dev/null
	sleep 1.5
	screenshot "$2"
}

# Only the mute button may change among the controls, and back again.
follow_mute() {
	screenshot unmuted
	set_muted true muted
	local change
	change=$(python3 "$tools/dock_probe.py" controls-change "$work/unmuted.png" "$work/muted.png")
	echo "    controls changed on mute: $change"
	check "mute button followed the source" \
		awk -v c="$change" 'BEGIN { split(c, b, " "); exit !(c != "none" && b[3] - b[1] < 90 && b[4] - b[2] < 40) }'
	check "source still muted (nothing written back)" \
		test "$(remote GetInputMute "{\"inputUuid\": \"$TONE\"}" | json_field inputMuted)" = True
	set_muted false unmuted-again
	check "mute button followed the unmute" \
		test "$(python3 "$tools/dock_probe.py" controls-change "$work/unmuted.png" "$work/unmuted-again.png")" = none
}

# A second source waits unbound; deleting the bound one falls back to it.
fall_back_on_delete() {
	BACKUP=$(create_tone "Backup tone")
	sleep 1.5
	check "a second source does not take the binding" test "$(bound_to 'Backup tone')" = 0
	remote RemoveInput "{\"inputUuid\": \"$TONE\"}" >/dev/null
	check "deleted source dropped for the fallback" \
		obs_session_wait_log "\\[tovrin\\] monitoring source 'Backup tone'" 5
	check "fallback's uuid saved" test "$(profile_value SourceUuid)" = "$BACKUP"
}

# Away to a new collection and back, with the backup tone bound: a tone there
# stands in for it without being saved over it. The new collection keeps the
# one scene OBS makes: OBS 32's clearing of a collection can miss a second
# scene and keep its sources, which stops OBS on its "not cleared" dialog
# (seen with no module at all, and with a stand-in dock that only repaints).
switch_collections() {
	local cleared
	cleared=$(count_lines 'All scene data cleared')
	remote CreateSceneCollection '{"sceneCollectionName": "Second"}' >/dev/null
	sleep 3
	check "OBS still up in the new collection" obs_is_up
	check "new collection current" test "$(remote GetSceneCollectionList | json_field currentSceneCollectionName)" = Second
	check "old collection's sources all cleared" test "$(count_lines 'All scene data cleared')" -gt "$cleared"
	check "saved choice kept in an empty collection" test "$(profile_value SourceUuid)" = "$BACKUP"
	create_tone "Elsewhere tone" Scene >/dev/null
	check "a tone in the new collection bound in its place" wait_until 5 bound_times 'Elsewhere tone' 1
	check "saved choice kept over that fallback" test "$(profile_value SourceUuid)" = "$BACKUP"
	remote SetCurrentSceneCollection '{"sceneCollectionName": "Tovrin"}' >/dev/null
	check "saved source bound again on the way back" wait_until 10 bound_times 'Backup tone' 2
	check "OBS still up after returning" obs_is_up
}

both_views() { # both_views MODE NAME: the screen shows both views in MODE
	sleep 1.5
	screenshot "$2"
	probe_views "$work/$2.png"
	check "both views in $1 mode" test "$(probed input mode)+$(probed master mode)" = "$1+$1"
}

# Another profile with a source and mode of its own: switching to it shows
# them, switching back shows the first profile's, and neither is rewritten.
switch_profiles() {
	PROFILE_TONE=$(create_tone "Profile tone")
	local other=$PROFILE_TONE
	python3 "$tools/obs_home.py" profile-set "$OBS_HOME" Tovrin SourceUuid "$other" Second
	remote SetCurrentProfile '{"profileName": "Second"}' >/dev/null
	check "the second profile's source bound" wait_until 5 bound_times 'Profile tone' 1
	both_views waveform profile-second
	remote SetCurrentProfile '{"profileName": "Tovrin"}' >/dev/null
	check "the first profile's source bound again" wait_until 5 bound_times 'Backup tone' 3
	both_views spectrum profile-first
	check "the first profile's values kept" test "$(profile_value SourceUuid)+$(profile_value DisplayMode)" = "$BACKUP+"
	check "the second's too" test "$(profile_value SourceUuid Second)+$(profile_value DisplayMode Second)" = "$other+1"
}

# The none entry picked in the source list the way a user does (a click on
# the list, the first row above the upper view's, then Home and Return) holds
# through a profile switch there and back, though both profiles have a saved
# source that is there; neither profile's choice is rewritten.
none_through_profiles() {
	local box binds
	read -ra box <<<"$(probed_box input)"
	xdotool windowfocus --sync "$(obs_session_main_window)"
	xdotool mousemove --sync $((box[0] + 88)) $((box[1] - 98))
	sleep 0.3
	xdotool click 1
	sleep 1
	xdotool key Home
	sleep 0.3
	xdotool key Return
	upper_dark none-chosen spectrum
	binds=$(count_lines '\[tovrin\] monitoring source')
	remote SetCurrentProfile '{"profileName": "Second"}' >/dev/null
	upper_dark none-second waveform
	remote SetCurrentProfile '{"profileName": "Tovrin"}' >/dev/null
	upper_dark none-first spectrum
	check "nothing bound over the none choice" test "$(count_lines '\[tovrin\] monitoring source')" = "$binds"
	check "both profiles' sources kept" \
		test "$(profile_value SourceUuid)+$(profile_value SourceUuid Second)" = "$BACKUP+$PROFILE_TONE"
}
upper_dark() { # upper_dark NAME MODE: the upper meter dark, the master view in MODE
	sleep 1.5
	screenshot "$1"
	probe_views "$work/$1.png"
	check "$1: nothing in the upper meter" awk -v v="$(probed input meter_lit)" 'BEGIN { exit !(v < 0.05) }'
	check "$1: the master view in $2 mode" test "$(probed master mode)" = "$2"
}

window_named() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
no_window_named() { ! window_named "$1"; }
# The top-level window under the pointer: the menu, once it is up there.
window_at_pointer() { xdotool getmouselocation 2>/dev/null | sed -n 's/.*window:\([0-9]*\).*/\1/p'; }
window_at_pointer_is_not() { [ "$(window_at_pointer)" != "$1" ]; }

# Opens TITLE with the entry UPS from the bottom of the upper view's menu.
open_from_menu() { # open_from_menu UPS TITLE
	local box i under
	read -ra box <<<"$(probed_box input)"
	xdotool windowfocus --sync "$(obs_session_main_window)"
	xdotool mousemove --sync $(((box[0] + box[2]) / 2)) $(((box[1] + box[3]) / 2))
	under=$(window_at_pointer)
	xdotool click 3
	# Keys go to the menu only once it is up, which takes longer under load;
	# another window of OBS's appearing elsewhere does not count.
	wait_until 5 window_at_pointer_is_not "$under"
	sleep 0.2
	for i in $(seq 1 "$1"); do xdotool key Up; done
	xdotool key Return
	check "'$2' open from the menu" wait_until 5 window_named "$2"
}

# Two dozen sources made, renamed, muted and removed, a tenth of a second
# apart, and three collection switches there and back at once: OBS stays up
# and the saved source is bound at the end.
churn() {
	local i requests=
	for i in $(seq 1 24); do
		requests+="[\"CreateInput\", {\"sceneName\": \"Demo\", \"inputName\": \"Churn $i\", \"inputKind\": \"ffmpeg_source\",
			\"inputSettings\": {\"is_local_file\": true, \"local_file\": \"$OBS_HOME/tone.wav\", \"looping\": true}}],"
		requests+="[\"SetInputName\", {\"inputName\": \"Churn $i\", \"newInputName\": \"Churned $i\"}],"
		requests+="[\"SetInputMute\", {\"inputName\": \"Churned $i\", \"inputMuted\": true}],"
		requests+="[\"Sleep\", {\"sleepMillis\": 100}],"
		requests+="[\"RemoveInput\", {\"inputName\": \"Churned $i\"}],"
	done
	check "all 120 requests taken" test "$(remote batch "[${requests%,}]")" = 120
	for i in 1 2 3; do
		remote SetCurrentSceneCollection '{"sceneCollectionName": "Second"}' >/dev/null
		remote SetCurrentSceneCollection '{"sceneCollectionName": "Tovrin"}' >/dev/null
	done
	check "OBS still up after the churn" obs_is_up
	check "the saved source bound at the end" wait_until 10 last_bound_is 'Backup tone'
}
last_bound_is() { [ "$(grep -o "\[tovrin\] monitoring source '.*'$" "$(obs_session_log)" | tail -n 1)" = "[tovrin] monitoring source '$1'" ]; }

# The bound source removed under its open properties and filters: OBS closes
# them and the dock falls back.
remove_under_dialogs() {
	both_views spectrum before-dialogs
	open_from_menu 1 "Properties for 'Backup tone'"
	open_from_menu 2 "Filters for 'Backup tone'"
	remote RemoveInput "{\"inputUuid\": \"$BACKUP\"}" >/dev/null
	check "the fallback bound" obs_session_wait_log "\\[tovrin\\] monitoring source 'Profile tone'" 5
	check "the properties closed with the source" wait_until 5 no_window_named "Properties for 'Backup tone'"
	check "the filters too" wait_until 5 no_window_named "Filters for 'Backup tone'"
	check "OBS still up" obs_is_up
}

rm -rf "$work"
mkdir -p "$work"
obs_session_prepare "$build" "$work/home" empty
export OBS_REMOTE_PORT OBS_REMOTE_PASSWORD
OBS_REMOTE_PORT=$(remote free-port)
OBS_REMOTE_PASSWORD=$(head -c 12 /dev/urandom | base64 | tr -d '/+=')
python3 "$tools/obs_home.py" enable-websocket "$OBS_HOME" "$OBS_REMOTE_PORT" "$OBS_REMOTE_PASSWORD"
python3 "$tools/obs_home.py" profile-set "$OBS_HOME" Tovrin DisplayMode 1 Second

start_obs remote
check "nothing bound in an empty collection" test "$(count_lines '\[tovrin\] monitoring source')" = 0
pick_up_new_source
follow_rename
follow_mute
fall_back_on_delete
switch_collections
switch_profiles
none_through_profiles
quit_obs remote
check "the backup tone still saved after exit" test "$(profile_value SourceUuid)" = "$BACKUP"

start_obs restart
check "the saved source bound after restart" obs_session_wait_log "\\[tovrin\\] monitoring source 'Backup tone'" 10
churn
remove_under_dialogs
quit_obs restart

finish "$work"
