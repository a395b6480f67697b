#!/usr/bin/env python3
"""An OBS configuration of our own, never the user's: a HOME whose
~/.config/obs-studio holds a profile and a demo scene collection whose media
source loops a generated test signal (or a collection with one empty scene),
plus reading and editing the main window's saved dock layout.

  obs_home.py setup HOME TONE.wav [empty]   write the configuration
  obs_home.py enable-websocket HOME PORT PASSWORD
                                        serve obs-websocket there, with a password
  obs_home.py dock-state HOME [ID]      print the saved flags of a dock
  obs_home.py set-dock-state HOME FLAGS [ID]   rewrite them (before a start)
  obs_home.py profile-set HOME SECTION KEY VALUE [PROFILE]
                                        one value of the profile, or of another
                                        one made like it (before OBS loads it)
  obs_home.py profile-get HOME SECTION KEY [PROFILE]   print one value of a profile, or nothing
  obs_home.py app-set HOME SECTION KEY VALUE       one of OBS's own (global.ini and user.ini)
"""
import base64
import configparser
import json
import os
import re
import struct
import subprocess
import sys
import uuid

PROFILE = "Tovrin"
COLLECTION = "Tovrin"
# QMainWindow::saveState marks each dock with these bits.
VISIBLE, FLOATING = 1, 2


def config_dir(home):
    return os.path.join(home, ".config", "obs-studio")


def ini_parser():
    parser = configparser.RawConfigParser(strict=False)
    parser.optionxform = str  # OBS's keys are CamelCase
    return parser


def save_ini(parser, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        parser.write(f, space_around_delimiters=False)


def write_ini(path, sections):
    parser = ini_parser()
    parser.read_dict(sections)
    save_ini(parser, path)


def read_ini(path):
    parser = ini_parser()
    parser.read(path, encoding="utf-8-sig")
    return parser


def collection(scene, sources):
    return {
        "name": COLLECTION, "current_scene": scene["name"], "current_program_scene": scene["name"],
        "scene_order": [{"name": scene["name"]}], "sources": [scene] + sources, "groups": [], "transitions": [],
        "current_transition": "Fade", "transition_duration": 300,
    }


def scene_with(items):
    return {
        "name": "Demo", "uuid": str(uuid.uuid4()), "id": "scene", "versioned_id": "scene",
        "settings": {"items": items, "id_counter": len(items), "custom_size": False}, "mixers": 0,
    }


def demo_collection(tone):
    tone_uuid = str(uuid.uuid4())
    media = {
        "name": "Demo tone", "uuid": tone_uuid, "id": "ffmpeg_source", "versioned_id": "ffmpeg_source",
        "settings": {"is_local_file": True, "local_file": os.path.abspath(tone), "looping": True,
                     "restart_on_activate": True, "close_when_inactive": False},
        "mixers": 255, "volume": 1.0, "muted": False, "monitoring_type": 0, "enabled": True,
    }
    item = {"name": "Demo tone", "source_uuid": tone_uuid, "visible": True, "locked": False, "id": 1,
            "pos": {"x": 0.0, "y": 0.0}, "scale": {"x": 1.0, "y": 1.0}, "rot": 0.0, "align": 5}
    return collection(scene_with([item]), [media])


def installed_obs_version():
    """OBS's packed version (major << 24 | minor << 16 | patch) of the obs-studio package."""
    out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "obs-studio"], capture_output=True, text=True).stdout
    m = re.match(r"(?:\d+:)?(\d+)\.(\d+)\.(\d+)", out)
    major, minor, patch = (int(g) for g in m.groups()) if m else (30, 0, 0)
    return (major << 24) | (minor << 16) | patch


def window_ini(home):
    """Where OBS keeps the window's layout: user.ini from OBS 31 on, global.ini before."""
    base = config_dir(home)
    user = os.path.join(base, "user.ini")
    if read_ini(user).get("BasicWindow", "DockState", fallback="") or installed_obs_version() >= 31 << 24:
        return user
    return os.path.join(base, "global.ini")


def setup(home, tone, empty=False):
    base = config_dir(home)
    # OBS 30 reads global.ini; 31 and later read the same from user.ini, and
    # skip their first-run wizard only when LastVersion is their own.
    settings = {
        "General": {"FirstRun": "false", "LastVersion": str(installed_obs_version()), "EnableAutoUpdates": "false"},
        "Basic": {"Profile": PROFILE, "ProfileDir": PROFILE, "SceneCollection": COLLECTION,
                  "SceneCollectionFile": COLLECTION},
        "BasicWindow": {"geometry": "", "PreviewEnabled": "true"},
    }
    for name in ("global.ini", "user.ini"):
        write_ini(os.path.join(base, name), settings)
    write_ini(os.path.join(base, "basic", "profiles", PROFILE, "basic.ini"), {
        "General": {"Name": PROFILE},
        "Video": {"BaseCX": "1280", "BaseCY": "720", "OutputCX": "1280", "OutputCY": "720", "FPSCommon": "30"},
        "Audio": {"SampleRate": "48000", "ChannelSetup": "Stereo"},
    })
    scenes = os.path.join(base, "basic", "scenes")
    os.makedirs(scenes, exist_ok=True)
    with open(os.path.join(scenes, COLLECTION + ".json"), "w", encoding="utf-8") as f:
        json.dump(collection(scene_with([]), []) if empty else demo_collection(tone), f, indent=1)


def enable_websocket(home, port, password):
    path = os.path.join(config_dir(home), "plugin_config", "obs-websocket", "config.json")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"first_load": False, "server_enabled": True, "server_port": int(port), "alerts_enabled": False,
                   "auth_required": True, "server_password": password}, f)


def dock_state_bytes(home):
    value = read_ini(window_ini(home)).get("BasicWindow", "DockState", fallback="")
    return bytearray(base64.b64decode(value)) if value else None


def find_dock(state, dock_id):
    """Offset of the flags byte that follows the dock's name in the state."""
    name = dock_id.encode("utf-16-be")
    needle = struct.pack(">I", len(name)) + name
    at = state.find(needle)
    return -1 if at < 0 else at + len(needle)


def dock_state(home, dock_id):
    state = dock_state_bytes(home)
    if state is None:
        return "no-saved-layout"
    at = find_dock(state, dock_id)
    if at < 0:
        return "absent"
    flags = state[at]
    return ("visible" if flags & VISIBLE else "hidden") + "," + ("floating" if flags & FLOATING else "docked")


def set_dock_state(home, flags, dock_id):
    state = dock_state_bytes(home)
    at = find_dock(state, dock_id) if state else -1
    if at < 0:
        sys.exit(f"no saved layout with dock {dock_id!r} in {home}")
    if flags & FLOATING and not state[at] & FLOATING:
        # A docked entry stores (pos, size, 0, 0) where a floating one stores a
        # geometry: give the floating dock a sensible window.
        state[at + 1:at + 17] = struct.pack(">iiii", 60, 60, 420, 480)
    state[at] = flags
    set_ini_value(window_ini(home), "BasicWindow", "DockState", base64.b64encode(bytes(state)).decode())


def set_ini_value(path, section, key, value):
    parser = read_ini(path)
    if not parser.has_section(section):
        parser.add_section(section)
    parser.set(section, key, value)
    save_ini(parser, path)


def profile_set(home, section, key, value, profile=PROFILE):
    profiles = os.path.join(config_dir(home), "basic", "profiles")
    path = os.path.join(profiles, profile, "basic.ini")
    if not os.path.exists(path):
        parser = read_ini(os.path.join(profiles, PROFILE, "basic.ini"))
        parser.remove_section("Tovrin")
        parser.set("General", "Name", profile)
        save_ini(parser, path)
    set_ini_value(path, section, key, value)


def profile_get(home, section, key, profile=PROFILE):
    path = os.path.join(config_dir(home), "basic", "profiles", profile, "basic.ini")
    return read_ini(path).get(section, key, fallback="")


def app_set(home, section, key, value):
    for name in ("global.ini", "user.ini"):
        set_ini_value(os.path.join(config_dir(home), name), section, key, value)


def main(argv):
    if len(argv) >= 3 and argv[0] == "setup":
        setup(argv[1], argv[2], argv[3:] == ["empty"])
    elif len(argv) == 4 and argv[0] == "enable-websocket":
        enable_websocket(*argv[1:])
    elif len(argv) in (5, 6) and argv[0] == "profile-set":
        profile_set(*argv[1:])
    elif len(argv) in (4, 5) and argv[0] == "profile-get":
        print(profile_get(*argv[1:]))
    elif len(argv) == 5 and argv[0] == "app-set":
        app_set(*argv[1:])
    elif len(argv) >= 2 and argv[0] == "dock-state":
        print(dock_state(argv[1], argv[2] if len(argv) > 2 else "tovrin"))
    elif len(argv) >= 3 and argv[0] == "set-dock-state":
        set_dock_state(argv[1], int(argv[2]), argv[3] if len(argv) > 3 else "tovrin")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
