#!/usr/bin/env python3
"""Plays the first demo level through battle_shot and checks the picture against the level itself.

check_shot.py CONTENT_DIR BATTLE_SHOT OUT_PNG SECONDS [beam]
Away from the roads and the build spots nothing is drawn but the level's art, so there the picture
must equal the art's own composite stored in its PSD (drawn by the content tools, not by the game);
at the spots where battle_shot builds towers something must stand over the art.
Exits 77 (skipped; under CI=true the run fails for it) when battle_shot finds no headless GL.
"""
import subprocess
import sys
import xml.etree.ElementTree as ET

WIDTH, HEIGHT = 1024, 768
BUILT = [1, 2, 4, 5]  # the spots battle_shot builds on, by their order in the level; 0 with "beam"
CLEAR = 80.0  # how far from a road or a spot the ground holds no unit, tower or effect
HUD_TOP = 110  # the HUD's strip, drawn by the screens and not by the battle
TOLERANCE = 3  # per channel: texture filtering of an unscaled picture


def rgba(path):
    data = subprocess.run(["convert", path, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    if len(data) != WIDTH * HEIGHT * 4:
        sys.exit(f"{path}: not a {WIDTH} x {HEIGHT} picture")
    return data


def road_points(level):
    """Points along each link's centre line, the quadratic curve through its anchor."""
    points = {p.get("id"): (float(p.get("x")), float(p.get("y"))) for p in level.iter("point")}
    out = []
    for link in level.iter("link"):
        a, b = points[link.get("sid")], points[link.get("eid")]
        c = (float(link.get("anchor_x")), float(link.get("anchor_y")))
        for i in range(201):
            t = i / 200.0
            u = 1.0 - t
            out.append((u * u * a[0] + 2 * t * u * c[0] + t * t * b[0], u * u * a[1] + 2 * t * u * c[1] + t * t * b[1]))
    return out


def main():
    content, shot_tool, out_png = sys.argv[1:4]
    built = BUILT + ([0] if "beam" in sys.argv[5:] else [])
    run = subprocess.run([shot_tool, out_png] + sys.argv[4:])
    if run.returncode == 77:
        return 77
    if run.returncode != 0:
        print("battle_shot failed")
        return 1
    level = ET.parse(content + "/td/levels_normal/level_01_01.xml").getroot()
    art = level.findtext("li").strip().rstrip("/")  # "art/td/data/levels/bg01"
    art_psd = content + "/" + art.split("/", 1)[1] + ".psd"
    shot = rgba(out_png)
    composite = rgba(art_psd + "[0]")
    spots = [(float(s.get("x")), float(s.get("y"))) for s in level.iter("spot")]
    busy = road_points(level) + spots

    def same(x, y):
        i = (y * WIDTH + x) * 4
        return all(abs(shot[i + k] - composite[i + k]) <= TOLERANCE for k in range(3))

    # The bare ground, on a grid of every fourth pixel.
    ground = mismatched = 0
    first_bad = None
    for y in range(HUD_TOP, HEIGHT, 4):
        for x in range(0, WIDTH, 4):
            if any((x - bx) ** 2 + (y - by) ** 2 < CLEAR * CLEAR for bx, by in busy):
                continue
            ground += 1
            if not same(x, y):
                mismatched += 1
                first_bad = first_bad or (x, y)
    ok = True
    if ground < 2000:
        print(f"only {ground} samples of bare ground: the level is not the one checked")
        ok = False
    if mismatched > ground // 1000:
        i = (first_bad[1] * WIDTH + first_bad[0]) * 4
        print(f"{mismatched} of {ground} ground samples differ from the level's art, first at {first_bad}: "
              f"drawn {tuple(shot[i:i + 3])}, art {tuple(composite[i:i + 3])}")
        ok = False

    def changed(left, top, right, bottom):
        """The share of a box's pixels that differ from the art."""
        total = (right - left) * (bottom - top)
        return sum(0 if same(x, y) else 1 for y in range(top, bottom) for x in range(left, right)) / total

    # Every spot shows its plate; on the open spots battle_shot builds on a tower rises above it,
    # the others (not built on, or still to be bought) leave the art above the plate as it is.
    road = road_points(level)
    for index, spot in enumerate(level.iter("spot")):
        sx, sy = spots[index]
        params = {p.get("name"): float(p.get("value")) for p in spot.iter("p")}
        x, y = int(sx), int(sy)
        plate = changed(x - 24, y - 6, x + 24, y + 6)
        above = changed(x - 12, y - 55, x + 12, y - 25)
        if plate < 0.5:
            print(f"spot {index} at ({x}, {y}): its plate covers {plate:.0%} of its place")
            ok = False
        if index in built and params["cost_gold"] == 0 and params["cost_real"] == 0:
            if above < 0.3:
                print(f"spot {index} at ({x}, {y}): no tower above the plate ({above:.0%} drawn over the art)")
                ok = False
        elif all((x - rx) ** 2 + (y - 40 - ry) ** 2 >= CLEAR * CLEAR / 4 for rx, ry in road) and above > 0.05:
            print(f"spot {index} at ({x}, {y}): {above:.0%} drawn above a plate without a tower")
            ok = False
    print(f"ground: {ground - mismatched} of {ground} samples equal the art")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
