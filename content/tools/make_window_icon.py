#!/usr/bin/python3
"""The window's icon data/icon.png, which the desktop shows in its task bar and window switcher:
the top rank of the sheet's first tower (its battle sprite) on the towers' medallion, painted as
the shop and unlock icons are (icon_art.tower_icon). One 128-pixel picture; the desktop scales it to
its small and large places.

Run from anywhere; writes beside this script's ../data. Needs python3-pil.
"""
import os

import icon_art

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE = 128


def first_tower_top_rank():
    towers = icon_art.towers_by_id()
    first = towers[min(i for i, r in towers.items() if int(r["parent"]) < 0)]
    style = icon_art.TOWER_SPRITES[first["psd"]][0]
    line = [first] + [r for r in towers.values()
                      if r["parent"] == first["id"] and icon_art.TOWER_SPRITES[r["psd"]][0] == style]
    return max(line, key=lambda r: icon_art.TOWER_SPRITES[r["psd"]][1])


def main():
    row = first_tower_top_rank()
    icon = icon_art.tower_icon(SIZE, row["psd"])
    path = os.path.join(HERE, "..", "data", "icon.png")
    icon.save(path, optimize=True)
    print("%s: %s, %d x %d" % (path, row["psd"], icon.width, icon.height))


if __name__ == "__main__":
    main()
