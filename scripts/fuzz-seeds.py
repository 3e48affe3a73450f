#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

Binary seeds (binary property lists, the MPRIS value encoding, PNG images) are
built here byte by byte so that they can be regenerated; inputs the fuzzers found
are added to the corpora beside them and are not written by this script.
"""
import base64
import pathlib
import struct
import zlib

CORPUS = pathlib.Path(__file__).resolve().parent.parent / "tests" / "fuzz" / "corpus"
SAMPLE_JPEG = CORPUS.parent.parent / "host" / "samples" / "cover.jpg"


def write(target, name, data):
    directory = CORPUS / target
    directory.mkdir(parents=True, exist_ok=True)
    (directory / name).write_bytes(data if isinstance(data, bytes) else data.encode())


def binary_plist(root):
    """A binary property list (bplist00) of dicts, lists, str, bool, int, float, bytes."""
    objects = []

    def add(value):
        index = len(objects)
        objects.append(None)
        if isinstance(value, bool):
            body = b"\x09" if value else b"\x08"
        elif isinstance(value, int):
            body = b"\x13" + struct.pack(">q", value)
        elif isinstance(value, float):
            body = b"\x23" + struct.pack(">d", value)
        elif isinstance(value, (str, bytes)):
            ascii = isinstance(value, str) and value.isascii()
            raw = value if isinstance(value, bytes) else value.encode("ascii" if ascii else "utf-16-be")
            marker = 0x40 if isinstance(value, bytes) else 0x50 if ascii else 0x60
            count = len(raw) if isinstance(value, bytes) or ascii else len(raw) // 2
            body = (bytes([marker | count]) if count < 15 else bytes([marker | 15, 0x10, count])) + raw
        elif isinstance(value, list):
            body = bytes([0xA0 | len(value)]) + bytes(add(item) for item in value)
        else:
            keys = [add(key) for key in value]
            body = bytes([0xD0 | len(value)]) + bytes(keys) + bytes(add(item) for item in value.values())
        objects[index] = body
        return index

    add(root)
    out = bytearray(b"bplist00")
    offsets = []
    for body in objects:
        offsets.append(len(out))
        out += body
    table = len(out)
    out += bytes(offsets) if table < 256 else b"".join(struct.pack(">H", o) for o in offsets)
    out += struct.pack(">6xBBQQQ", 1 if table < 256 else 2, 1, len(objects), 0, table)
    return bytes(out)


def xml_plist(body):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" '
            '"http://www.apple.com/DTDs/PropertyList-1.0.dtd">\n<plist version="1.0">\n' + body + "\n</plist>\n")


def png(width, height, colour_type=6):
    channels = {0: 1, 2: 3, 6: 4}[colour_type]
    rows = b"".join(b"\x00" + bytes((x * 40 + y * 7) % 256 for x in range(width * channels)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def mpris_text(text):
    raw = text.encode()
    return bytes([len(raw)]) + raw


def mpris_value(value):
    """The fuzz target's encoding: a tag byte, then the value."""
    if isinstance(value, bool):
        return bytes([0, int(value)])
    if isinstance(value, tuple):  # (tag, struct format, number)
        return bytes([value[0]]) + struct.pack("<" + value[1], value[2])
    if isinstance(value, float):
        return b"\x08" + struct.pack("<d", value)
    if isinstance(value, str):
        return (b"\x0a" + mpris_text(value[1:])) if value.startswith("@/") else b"\x09" + mpris_text(value)
    if isinstance(value, list):
        return b"\x0b" + bytes([len(value)]) + b"".join(mpris_text(item) for item in value)
    return b"\x0d" + bytes([len(value)]) + b"".join(mpris_text(k) + mpris_value(v) for k, v in value.items())


def mpris_properties(properties):
    return b"".join(mpris_text(key) + mpris_value(value) for key, value in properties.items())


settings = {"startView": 1, "shareArtwork": True, "showSeperators": False, "roundedCornersValue": 12.5}
playlist = [
    {"title": "Paper Boats", "artist": "Mira Sol", "duration": 187},
    {"title": "Field Recording No. 7", "duration": 95.5},
    {"title": "Tidal", "artist": "Neon Gardens", "duration": 241, "artwork": "cover.png"},
]
write("plist", "settings.plist", binary_plist(settings))
write("plist", "settings.xml", xml_plist(
    "<dict>\n\t<key>startView</key>\n\t<integer>1</integer>\n\t<key>shareArtwork</key>\n\t<true/>\n"
    "\t<key>roundedCornersValue</key>\n\t<real>12.5</real>\n\t<key>note</key>\n\t<string>caf&#233; &amp; co</string>\n"
    "\t<key>blob</key>\n\t<data>AAEC/w==</data>\n\t<key>when</key>\n\t<date>2026-12-06T20:00:00Z</date>\n</dict>"))
write("plist", "playlist.plist", binary_plist(playlist + [{"title": "Ünïcödé ✓", "bytes": b"\x00\x01"}]))
write("plist", "nested.xml", xml_plist("<array><array><dict><key>a</key><array/></dict></array><false/></array>"))
write("playlist", "playlist.plist", binary_plist(playlist[:2]))
write("playlist", "playlist.xml", xml_plist(
    "<array>\n\t<dict>\n\t\t<key>title</key>\n\t\t<string>Paper Boats</string>\n\t\t<key>artist</key>\n"
    "\t\t<string>Mira Sol</string>\n\t\t<key>duration</key>\n\t\t<real>187</real>\n\t</dict>\n</array>"))
write("playlist", "bad-entry.xml", xml_plist(
    "<array><dict><key>title</key><string>Tidal</string><key>duration</key><integer>-3</integer></dict></array>"))
write("playlist", "missing-artwork.plist", binary_plist([{"title": "Tidal", "artwork": "none.png"}]))

write("script", "every-command.txt",
      "# every command once\npresent\nwait 0.5\ntap 40 30\ndoubletap 200 40\nlongpress 150 60 0.6\n"
      "drag 10 80 120 80 0.3\nplayer seek 30\nplayer next\nplayer toggle\nrotate\nbackground\nforeground\n"
      "dump\nsnapshot widget.png\ndismiss\n")
write("script", "errors.txt", "present\nplayer seek -1\n")
write("script", "waits.txt", "present\nwait 2\nplayer pause\nwait 1.5\ndump\n")

metadata = {"xesam:title": "Teardrop", "xesam:artist": ["Massive Attack"], "xesam:album": "Mezzanine",
            "mpris:length": (6, "q", 330_000_000), "mpris:trackid": "@/org/mpris/track/7",
            "mpris:artUrl": "file:///tmp/cover.jpg"}
write("mpris", "player.bin", mpris_properties({
    "PlaybackStatus": "Playing", "Rate": 1.0, "Volume": 0.5, "Position": (6, "q", 12_000_000),
    "CanGoNext": True, "CanGoPrevious": False, "CanSeek": True, "CanControl": True, "Metadata": metadata}))
write("mpris", "root.bin", mpris_properties({"Identity": "VLC media player", "DesktopEntry": "vlc",
                                             "CanRaise": True}))
write("mpris", "odd-types.bin", mpris_properties({
    "PlaybackStatus": "paused", "Rate": (5, "I", 2), "Position": (7, "Q", 2**63 + 5),
    "Metadata": {"xesam:title": ["A", "B"], "mpris:length": (5, "I", 4_000_000_000),
                 "mpris:trackid": "/not/a/path?", "xesam:artist": "Plain"}}))

small_png = png(4, 3)
write("artwork", "rgba.png", b"\x00" + small_png)
write("artwork", "grey.png", b"\x00" + png(2, 2, 0))
write("artwork", "cover.jpg", b"\x00" + SAMPLE_JPEG.read_bytes())
write("artwork", "data-png.txt", b"\x01image/png;base64," + base64.b64encode(png(3, 3, 2)))
write("artwork", "data-jpeg.txt", b"\x01image/jpeg;base64," + base64.b64encode(SAMPLE_JPEG.read_bytes()))
write("artwork", "data-percent.txt", b"\x01,%89PNG%0D%0A%1A%0A")

write("desktop_scale", "gdk.txt", "2\n")
write("desktop_scale", "xft.txt", "\nXft.antialias:\t1\nXft.dpi:\t120\nXft.hintstyle:\thintslight\n")
write("desktop_scale", "both.txt", "1.5\nXft.dpi: 144\nXft.dpi:\t192\n")
write("desktop_scale", "odd.txt", "1e400\n*Xft.dpi:\t-96\nXft.dpi:\tnan\n")

write("json", "plain.txt", b"title\x00Teardrop \xe2\x80\x94 Massive Attack")
write("json", "escapes.txt", b"\"quoted\\\x00line\nbreak\ttab\x01\x1f\x7f")
write("json", "invalid.txt", b"\xff\xfe\x00\xc3\x28 \xed\xa0\x80 \xf4\x90\x80\x80 \xe2\x82")

write("config", "players.txt", "# trillbox\nplayer = mpris:vlc,%any\nignore-player = chromium\nscale = 2\n")
write("config", "warnings.txt", "player=demo\nscale = 0.5\nvolume = 3\nnot a line\n\n   # indented comment\nscale=1e400\n")
write("config", "odd.txt", "player = mpris:Spotify, , VLC media player\nignore-player=\nplayer = mpris:%any\r\n")
