#!/usr/bin/env bash
# Looks at the application as a user sees it: runs it on a real X server (Xvfb) at 1920x1080
# and at 1366x768 against the simulated device, records a few shots, and saves a picture of
# every page in both display modes (bars and dials), of the oscilloscope with all five plots
# and at zoom 20, and of a message box with a long file name.
#
#   tools/look.sh [OUTDIR]     pictures in OUTDIR/<width>x<height>/ (default build/look)
#
# Run by hand; the tests do not need it. The clicks go to fixed places of the window, which
# the tool bar, the side tab bar and the menu keep at the top left whatever the screen size;
# what sits at the right or bottom edge is found from the screen size.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages
ensure_look_packages
build_tree build

out=$(realpath -m "${1:-build/look}")
mkdir -p "$out"
# Never the device's factory address: the simulator on a loopback address of our own.
host=127.0.0.77
stick="$out/stick"
mkdir -p "$stick"
export VENTARO_DEVICE_HOST=$host KALVIK_STICK_DIR=$stick
# A settings store of its own, so that no earlier window size or folder plays in.
export XDG_CONFIG_HOME="$out/config"
# And a shot journal of its own.
export VENTARO_DATA_DIR="$out/data"

pids=()
stop_all() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pids=()
}
trap stop_all EXIT
trap 'exit 130' INT TERM

if device_listening "$host"; then
    echo "look.sh: something already listens on $host:2222" >&2
    exit 1
fi
# Shots of three seconds at the device's 100 ms.
build/bin/kalvik-sim --host "$host" --stick "$stick" --seed 1 --cycle 3000 >"$out/kalvik-sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    device_listening "$host" && break
    sleep 0.1
done

# A project file that cannot be read, in folders with long names: the message about it
# must show the whole name.
broken_dir="$out/Projekte/Werkzeug 4711 Deckel links/Messreihe Oktober mit erhoehtem Nachdruck"
mkdir -p "$broken_dir"
broken="$broken_dir/Deckel_links_Serie_2_Nachdruck_erhoeht_Kavitaet_3.mvx"
echo '{ "kaputt": ' >"$broken"

pause() { sleep "${1:-1}"; }
click() { xdotool mousemove "$1" "$2" click 1; pause "${3:-1}"; }
shot() {
    import -window root "$dir/$1.png"
    echo "  $1.png"
}
# The middle of the first run of pixels of colour (as "#RRGGBB") on row y of the screen,
# left of x_end; nothing when there is none.
find_colour() {
    local y=$1 colour=$2 x_end=$3
    import -window root -crop "${x_end}x1+0+$y" +repage txt:- 2>/dev/null |
        awk -v c="$colour" 'done { next } index(toupper($0), c) { split($1, p, ",");
            x = p[1] + 0; if (first == "") first = x; else if (x != last + 1) done = 1;
            if (!done) last = x } END { if (first != "") print int((first + last) / 2) }'
}
# Clicks the display choice ("Linear" or "Rund") that is not selected: it is the grey one.
switch_display() {
    local x
    x=$(find_colour 116 "#AAAAAA" $((width / 2)))
    if [ -z "$x" ]; then
        echo "look.sh: no display choice found" >&2
        return 1
    fi
    click "$x" 116 1
}

# Side tab bar: Home, Projekt, Sensoren, Messdaten, Auswertung, BlackBox.
tab_names=(home projekt sensoren messdaten auswertung blackbox)
tab() { click 60 $((95 + 71 * $1)) 1; }

# The first display number from 90 on that no X server holds.
free_display() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
        n=$((n + 1))
    done
    echo "$n"
}

look_at() {
    local width=$1 height=$2 display
    display=$(free_display)
    dir="$out/${width}x${height}"
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "look.sh: ${width}x${height} on :$display"

    # -noreset: the probe below must not make the server start over as it disconnects.
    Xvfb ":$display" -screen 0 "${width}x${height}x24" -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
    local xvfb=$!
    pids+=("$xvfb")
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! xdpyinfo >/dev/null 2>&1; then
        echo "look.sh: Xvfb did not start; see $dir/xvfb.log" >&2
        return 1
    fi
    build/bin/ventaro >"$dir/ventaro.log" 2>&1 &
    local app=$!
    pids+=("$app")

    # The splash screen takes three seconds; no window manager maximizes, so the window is
    # given the whole screen as a maximized window would get it.
    local window=""
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name '^Dornhal' 2>/dev/null | head -1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -z "$window" ]; then
        echo "look.sh: no window appeared; see $dir/ventaro.log" >&2
        return 1
    fi
    pause 1
    xdotool windowmove "$window" 0 0 windowsize "$window" "$width" "$height"
    pause 1
    # What the window asks of the screen at least, as the window manager would read it.
    xprop -id "$window" WM_NORMAL_HINTS | tee "$dir/size-hints.txt"
    shot 00-start

    # Menu, "Neues Projekt"; then connect, and record three shots.
    click 40 40
    click 120 72 2
    click 160 40 3
    tab 2
    for n in 1 2 3; do
        click 400 40 4
    done
    # A fourth shot runs while the live pages are looked at.
    click 400 40 1

    local mode first=1
    for mode in bars dials; do
        tab 2
        if [ "$mode" = dials ]; then
            switch_display
            # Another shot, so that the dials show live values too.
            click 400 40 1
        fi
        local i
        for i in "${!tab_names[@]}"; do
            tab "$i"
            shot "$(printf '%02d' $((first + i)))-${mode}-${tab_names[$i]}"
        done
        first=11
    done
    # Back to bars, so that the start of the next look is the same.
    tab 2
    switch_display

    # All five plots: S3 to S5 end the second tool row, 64 pixels apart.
    tab 3
    local s
    for s in 3 4 5; do
        click $((width - 49 - 64 * (5 - s))) 239 0.3
    done
    pause 1
    shot 30-messdaten-five-plots
    # Zoom 20 in the first box of the bottom row.
    click 420 $((height - 30)) 0.3
    xdotool key ctrl+a
    xdotool type 20
    xdotool key Return
    pause 1
    shot 31-messdaten-zoom-20

    # Menu, "Projekt öffnen": the save prompt takes its default answer, the file dialog the
    # broken file; the message about it stays until Return.
    click 40 40
    click 120 107 2
    shot 40-save-prompt
    xdotool key Return
    pause 2
    xdotool type --delay 2 "$broken"
    xdotool key Return
    pause 2
    shot 41-cannot-open-message
    xdotool key Return
    pause 1

    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
}

look_at 1920 1080
look_at 1366 768
echo "look.sh: pictures in $out"
