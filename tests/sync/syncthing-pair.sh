# Two Syncthing instances on this machine that sync one folder between two directories, as two
# computers would. Sourced after desktop-session.sh (it uses $work, pids and wait_for).
#
# Everything stays on loopback: listen and GUI addresses are 127.0.0.1, global and local
# discovery, relays, NAT traversal, usage reporting, crash reporting and upgrades are off, and
# each instance knows the other by device ID and address. The instances are driven through their
# REST API; every wait is bounded, and they end with the test (their pids join `pids`).
#
#   st_start_pair <dir A> <dir B>   start both, sharing the folder; waits until they are connected
#   st_wait_in_sync                 both sides have everything the other has
#   st_pause_sync / st_resume_sync  stop and restart the exchange between the two
#   st_scan <a|b>                   look at the directory now instead of waiting for the watcher
#   st_device_id <a|b>              the instance's device ID (ST_ID_a, ST_ID_b)

st_folder=quillbox-notes
st_key=quillbox-test-key

st_free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# st_api <a|b> <GET|POST> <path>: the REST call's answer on stdout; fails on an HTTP error.
st_api() {
    local gui_var=ST_GUI_$1
    curl -sS -f --max-time 10 -X "$2" -H "X-API-Key: $st_key" "http://${!gui_var}$3"
}

st_device_id() {
    local id_var=ST_ID_$1
    echo "${!id_var}"
}

# st_write_config <me> <peer> <dir>: a config that knows only the peer, on loopback.
st_write_config() {
    local me=$1 peer=$2 dir=$3
    local home=$work/syncthing-$me
    local my_id=ST_ID_$me peer_id=ST_ID_$peer my_listen=ST_LISTEN_$me peer_listen=ST_LISTEN_$peer
    local gui=ST_GUI_$me
    cat >"$home/config.xml" <<EOF
<configuration version="36">
    <folder id="$st_folder" label="Notes" path="$dir" type="sendreceive" rescanIntervalS="3600"
            fsWatcherEnabled="true" fsWatcherDelayS="1">
        <device id="${!my_id}"></device>
        <device id="${!peer_id}"></device>
        <maxConflicts>10</maxConflicts>
        <markerName>.stfolder</markerName>
    </folder>
    <device id="${!my_id}" name="$me"><address>dynamic</address></device>
    <device id="${!peer_id}" name="$peer"><address>tcp://127.0.0.1:${!peer_listen}</address></device>
    <gui enabled="true" tls="false">
        <address>${!gui}</address>
        <apikey>$st_key</apikey>
    </gui>
    <options>
        <listenAddress>tcp://127.0.0.1:${!my_listen}</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <urAccepted>-1</urAccepted>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <crashReportingEnabled>false</crashReportingEnabled>
        <startBrowser>false</startBrowser>
        <reconnectionIntervalS>1</reconnectionIntervalS>
    </options>
</configuration>
EOF
}

st_start_pair() {
    local -A dirs=([a]=$1 [b]=$2)
    local side
    for side in a b; do
        local home=$work/syncthing-$side
        mkdir -p "$home" "${dirs[$side]}/.stfolder"
        syncthing generate --home="$home" --no-default-folder >"$home/generate.log" 2>&1 \
            || { echo "FAIL: syncthing generate: $(cat "$home/generate.log")"; exit 1; }
        printf -v "ST_ID_$side" '%s' "$(syncthing serve --home="$home" --device-id)"
        printf -v "ST_LISTEN_$side" '%s' "$(st_free_port)"
        printf -v "ST_GUI_$side" '127.0.0.1:%s' "$(st_free_port)"
    done
    st_write_config a b "${dirs[a]}"
    st_write_config b a "${dirs[b]}"
    for side in a b; do
        local home=$work/syncthing-$side
        STNOUPGRADE=1 STNORESTART=1 STNODEFAULTFOLDER=1 \
            syncthing serve --home="$home" --no-browser --no-restart --no-upgrade \
            --logfile="$home/syncthing.log" --log-max-old-files=0 >"$home/stdout.log" 2>&1 &
        pids+=($!)
    done
    for side in a b; do
        wait_for 300 st_api "$side" GET /rest/system/ping \
            || { echo "FAIL: syncthing $side did not answer: $(tail -n 20 "$work/syncthing-$side/stdout.log")"; exit 1; }
    done
    wait_for 600 st_connected a b && wait_for 600 st_connected b a \
        || { echo "FAIL: the two syncthing instances did not connect"; tail -n 30 "$work"/syncthing-?/syncthing.log; exit 1; }
}

# st_connected <me> <peer>: me holds a connection to peer.
st_connected() {
    st_api "$1" GET /rest/system/connections \
        | python3 -c 'import json, sys; sys.exit(0 if json.load(sys.stdin)["connections"][sys.argv[1]]["connected"] else 1)' \
            "$(st_device_id "$2")"
}

st_scan() { st_api "$1" POST "/rest/db/scan?folder=$st_folder" >/dev/null; }

# st_side_in_sync <me> <peer>: me is idle with nothing to fetch, and the peer has all of ours.
st_side_in_sync() {
    local status completion
    status=$(st_api "$1" GET "/rest/db/status?folder=$st_folder") || return 1
    completion=$(st_api "$1" GET "/rest/db/completion?folder=$st_folder&device=$(st_device_id "$2")") || return 1
    python3 - "$status" "$completion" <<'EOF'
import json, sys
status, completion = json.loads(sys.argv[1]), json.loads(sys.argv[2])
idle = status["state"] == "idle" and status["needTotalItems"] == 0
sys.exit(0 if idle and completion["completion"] == 100 and completion["needItems"] == 0 else 1)
EOF
}

# Up to 60 s for both sides to agree; a scan first, so a change is not left to the watcher's delay.
st_wait_in_sync() {
    st_scan a && st_scan b || return 1
    wait_for 600 st_both_in_sync
}
st_both_in_sync() { st_side_in_sync a b && st_side_in_sync b a; }

# Pausing the peer device on both sides stops all exchange; the folders keep being scanned.
st_pause_sync() {
    st_api a POST "/rest/system/pause?device=$(st_device_id b)" >/dev/null \
        && st_api b POST "/rest/system/pause?device=$(st_device_id a)" >/dev/null \
        && wait_for 100 st_disconnected
}
st_disconnected() { ! st_connected a b && ! st_connected b a; }

st_resume_sync() {
    st_api a POST "/rest/system/resume?device=$(st_device_id b)" >/dev/null \
        && st_api b POST "/rest/system/resume?device=$(st_device_id a)" >/dev/null \
        && wait_for 600 st_connected a b && wait_for 600 st_connected b a
}
