#!/usr/bin/env python3
"""The demo tutorial: td/tutorial.xml (the steps of the first level), its pages under
td/data/tutorial (one layer folder: a panel and an arrow per page as PNGs, and a text
placeholder per page that has no picture, so the game writes the page's text there), the skip
button td/data/tutorial/skip, and the page texts as a block of "tut_" keys in td/strings_en.csv.

Run with /usr/bin/python3 from anywhere (needs PIL). Spot and button places are those of the
first level: spot #0 has its centre at (210, 370), the next-wave button stands at (0, 200).
"""
import os

from PIL import Image, ImageDraw

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "td")
PAGES = os.path.join(ROOT, "data", "tutorial")

PEAT = (38, 52, 46, 236)
BRASS = (206, 170, 92, 255)
BRASS_LIGHT = (250, 222, 150, 255)
HEATHER = (150, 96, 160, 255)
HEATHER_LIGHT = (205, 150, 214, 255)

# The page panel and where its text goes (screen pixels of the 1024 x 768 core).
PANEL = (262, 56, 500, 134)
TEXT = (282, 64, 460, 82)
SKIP = (640, 146, 110, 30)

# Steps: id, folder, activate, complete, commands, onComplete commands, arrow (x, y, direction).
# Ids follow the game's restart rules: step 1 unfinished sends 0 and 1 back, 3 goes with 4.
STEPS = [
    (0, "spot", "unlock_window_close", "tower_select", [("pause", 1), ("spot", 0), ("blockUI", 2)], [], (186, 262, "down")),
    (1, "tower", "tower_select", "tower_built", [], [], None),
    # The battle waits from here until the upgrade: the wave's button stays until it is pressed.
    (2, "wave", "tower_built", "wave_forced", [("pause", 1), ("blockUI", 3)], [("blockUI", 0)], (0, 126, "down")),
    (3, "upgrade", "wave_forced", "tower_upgraded", [("addMoney", 100), ("blockUI", 2)],
     [("pause", 0), ("blockUI", 0), ("spot", -1)], (252, 346, "left")),
    (4, "spell", "tower_upgraded", "spell_casted", [], [], None),
    (5, "crystal", "spell_casted", "gem_collected", [("dropChanceOverride", 1)],
     [("dropChanceOverride", 0), ("addGems", 5)], None),
    (6, "shop", "gem_collected", "shop_state_changed", [], [], None),
]

TEXTS = {
    "spot": "Welcome to the Ford, Warden! Foes follow the road to your camp. Click the build spot under the arrow to place a tower.",
    "tower": "Pick a tower from the ring. Its price in gold is shown above it.",
    "wave": "Well built! The battle waits. Click the red button at the road's start to call the "
            "wave early: each second saved earns gold.",
    "upgrade": "Here are 100 gold: click your tower and choose its upgrade. Then the battle goes on.",
    "spell": "Spells turn a battle. Click a spell button, then click on the road to cast it.",
    "crystal": "Fallen foes drop crystals now. Click a crystal to collect it, and 5 more are yours.",
    "shop": "Crystals buy lasting upgrades in the shop. Win the battle, visit the shop, then leave it.",
}


def panel():
    w, h = PANEL[2], PANEL[3]
    image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    d.rounded_rectangle((4, 6, w - 1, h - 1), 18, fill=(0, 0, 0, 90))
    d.rounded_rectangle((0, 0, w - 5, h - 7), 18, fill=PEAT, outline=BRASS, width=3)
    d.rounded_rectangle((8, 8, w - 13, h - 15), 12, outline=(206, 170, 92, 90), width=1)
    return image


def arrow(direction):
    w, h = (48, 72) if direction == "down" else (72, 48)
    image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    if direction == "down":
        shape = [(14, 0), (34, 0), (34, 38), (46, 38), (24, 70), (2, 38), (14, 38)]
    else:
        shape = [(0, 24), (32, 2), (32, 14), (70, 14), (70, 34), (32, 34), (32, 46)]
    d.polygon(shape, fill=HEATHER_LIGHT, outline=HEATHER)
    return image


def button(over):
    w, h = SKIP[2], SKIP[3]
    image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    d.rounded_rectangle((0, 0, w - 1, h - 1), 10, fill=HEATHER if over else (96, 64, 104, 255),
                        outline=BRASS_LIGHT if over else BRASS, width=2)
    return image


def layer(name, x, y, w, h, index):
    return '    <Layer name="%s" x="%d" y="%d" width="%d" height="%d" opacity="255" ind="%d"/>' % (
        name, x, y, w, h, index)


def write_layers(folder, entries):
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<Document>", "  <Layers>"]
    lines += [layer(*e, i) for i, e in enumerate(entries)]
    lines += ["  </Layers>", "</Document>", ""]
    with open(os.path.join(folder, "layers.xml"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def pages():
    entries = []
    for _, folder, _, _, _, _, where in STEPS:
        os.makedirs(os.path.join(PAGES, folder), exist_ok=True)
        panel().save(os.path.join(PAGES, folder, "panel.png"))
        entries.append((folder + "/panel",) + PANEL)
        if where:
            image = arrow(where[2])
            image.save(os.path.join(PAGES, folder, "arrow.png"))
            entries.append((folder + "/arrow", where[0], where[1], image.width, image.height))
        # No picture: the game writes the step's text here.
        entries.append((folder + "/text",) + TEXT)
    write_layers(PAGES, entries)
    skip = os.path.join(PAGES, "skip", "button")
    os.makedirs(skip, exist_ok=True)
    button(True).save(os.path.join(skip, "b4_over.png"))
    button(False).save(os.path.join(skip, "b4_normal.png"))
    write_layers(os.path.join(PAGES, "skip"), [("button/b4_over",) + SKIP, ("button/b4_normal",) + SKIP])


def commands(tag, cmds):
    if not cmds:
        return []
    return ["    <%s>" % tag] + ['      <cmd param="%s" value="%d"/>' % c for c in cmds] + ["    </%s>" % tag]


def script():
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             "<!-- The first level's tutorial. Generated by content/tools/make_tutorial.py. -->", "<tutorial>"]
    for sid, folder, activate, complete, cmds, done, _ in STEPS:
        # shop="-1" binds a step to the first level; the shop step reacts on the shop screen too.
        condition = '<condition shop="0"/>' if folder == "shop" else '<condition shop="-1" episode="0" level="0"/>'
        lines.append('  <step id="%d" activate="%s" complete="%s">' % (sid, activate, complete))
        lines.append("    " + condition)
        lines.append('    <show folder="%s"><text place="text" string="tut_%s"/></show>' % (folder, folder))
        lines += commands("cmds", cmds) + commands("onComplete", done)
        lines.append("  </step>")
    lines += ["</tutorial>", ""]
    with open(os.path.join(ROOT, "tutorial.xml"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))


def strings():
    path = os.path.join(ROOT, "strings_en.csv")
    with open(path, "rb") as f:
        lines = f.read().decode("utf-8").split("\r\n")
    kept = [l for l in lines if l and not l.startswith("tut_")]
    kept += ["tut_%s;%s" % (folder, TEXTS[folder]) for _, folder, *_ in STEPS]
    with open(path, "wb") as f:
        f.write(("\r\n".join(kept) + "\r\n").encode("utf-8"))


if __name__ == "__main__":
    pages()
    script()
    strings()
