#!/usr/bin/env python3
"""Draws the app's images as SVG files into this folder.

Every picture of the app is made here from a few shared shapes and one palette, so the
set stays coherent. Run it after changing a drawing; the SVG files it writes are
committed and compiled into the app.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

TEAL = "#139286"
TEAL_DARK = "#0d6f66"
TEAL_LIGHT = "#e2f3f1"
INK = "#2f2f2f"
GREY = "#a7b3b2"
GREY_LIGHT = "#dde6e5"
WHITE = "#ffffff"
RED = "#e0533d"
GOLD = "#f4c04e"
FONT = "Noto Sans CJK SC"


def svg(name, w, h, body, defs=""):
    text = (f'<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
            f'width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n')
    if defs:
        text += f"<defs>{defs}</defs>\n"
    text += body + "\n</svg>\n"
    with open(os.path.join(HERE, name), "w", encoding="utf-8") as f:
        f.write(text)


def gradient(gid, top, bottom, x2="0", y2="1"):
    return (f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
            f"</linearGradient>")


def scooter(x, y, size, color, width=None):
    """A kick scooter drawn with round strokes in a size x size box at (x, y)."""
    s = size / 100.0
    sw = (width or 7) * s
    def p(px, py):
        return f"{x + px * s:.2f} {y + py * s:.2f}"
    def wheel(cx):
        return (f'<circle cx="{x + cx * s:.2f}" cy="{y + 80 * s:.2f}" r="{10 * s:.2f}" '
                f'fill="none" stroke="{color}" stroke-width="{sw:.2f}"/>')
    return (
        f'<g fill="none" stroke="{color}" stroke-width="{sw:.2f}" stroke-linecap="round" '
        f'stroke-linejoin="round">'
        f'<path d="M {p(22, 80)} L {p(32, 70)} L {p(66, 70)}"/>'
        f'<path d="M {p(80, 80)} L {p(70, 18)}"/>'
        f'<path d="M {p(60, 18)} L {p(80, 18)}"/>'
        f"</g>" + wheel(22) + wheel(80))


def pin_path(w, head_r, cy, tip_y, base_half):
    """A map pin: a round head and a pointed tail, as one outline."""
    cx = w / 2
    return (f'<circle cx="{cx}" cy="{cy}" r="{head_r}"/>'
            f'<path d="M {cx - base_half} {cy + head_r * 0.55} L {cx} {tip_y} '
            f'L {cx + base_half} {cy + head_r * 0.55} Z"/>')


def check_boxes():
    svg("login1.svg", 48, 48,
        f'<rect x="5" y="5" width="38" height="38" rx="9" fill="{WHITE}" stroke="{GREY}" '
        f'stroke-width="3"/>')
    svg("login2.svg", 48, 48,
        f'<rect x="3.5" y="3.5" width="41" height="41" rx="10" fill="{TEAL}"/>'
        f'<path d="M 13 25 L 21 33 L 36 16" fill="none" stroke="{WHITE}" stroke-width="5" '
        f'stroke-linecap="round" stroke-linejoin="round"/>')


def avatars():
    # Head and shoulders, the shoulders cut off by the round frame.
    svg("touxiangsmall.svg", 120, 120,
        f'<circle cx="60" cy="60" r="60" fill="{GREY_LIGHT}"/>'
        f'<circle cx="60" cy="60" r="56" fill="#eef3f3"/>'
        f'<circle cx="60" cy="46" r="19" fill="#a9bdbb"/>'
        f'<path d="M 28.1 106 Q 24 72 60 72 Q 96 72 91.9 106 A 56 56 0 0 1 28.1 106 Z" '
        f'fill="#a9bdbb"/>')
    defs = gradient("t1", "#1ea898", TEAL_DARK)
    svg("touxiang1.svg", 120, 120,
        f'<rect width="120" height="120" rx="26" fill="url(#t1)"/>'
        + scooter(18, 14, 84, WHITE, 8), defs)


def logos():
    defs = gradient("icon", "#21b0a0", TEAL_DARK)
    svg("appicon.svg", 256, 256,
        f'<rect width="256" height="256" rx="56" fill="url(#icon)"/>'
        f'<circle cx="196" cy="62" r="26" fill="{GOLD}" fill-opacity="0.9"/>'
        f'<path d="M 24 214 L 232 214" stroke="{WHITE}" stroke-opacity="0.35" '
        f'stroke-width="6" stroke-linecap="round"/>'
        + scooter(40, 48, 170, WHITE, 8), defs)
    defs = gradient("logo", "#22b3a3", TEAL_DARK)
    svg("lvlogo2.svg", 64, 64,
        f'<circle cx="32" cy="32" r="31" fill="{WHITE}"/>'
        f'<circle cx="32" cy="32" r="28" fill="url(#logo)"/>'
        + scooter(13, 11, 38, WHITE, 9), defs)
    svg("logo_id.svg", 40, 40,
        f'<rect x="10" y="12" width="20" height="22" rx="5" fill="{TEAL}"/>'
        f'<circle cx="20" cy="23" r="4" fill="{WHITE}"/>'
        f'<path d="M 13 8 Q 20 3 27 8" fill="none" stroke="{TEAL}" stroke-width="2.5" '
        f'stroke-linecap="round"/>'
        f'<path d="M 9 4.5 Q 20 -3 31 4.5" fill="none" stroke="{TEAL}" stroke-width="2.5" '
        f'stroke-linecap="round" stroke-opacity="0.55"/>')


def arrows():
    for name, d in (("leftarrow.svg", "M 34 17 L 22 30 L 34 43"),
                    ("rightarrow.svg", "M 26 17 L 38 30 L 26 43")):
        svg(name, 60, 60,
            f'<circle cx="30" cy="30" r="28" fill="{WHITE}" fill-opacity="0.94" '
            f'stroke="{GREY_LIGHT}" stroke-width="2"/>'
            f'<path d="{d}" fill="none" stroke="{TEAL}" stroke-width="5" '
            f'stroke-linecap="round" stroke-linejoin="round"/>')
    svg("refresh.svg", 48, 48,
        f'<path d="M 36 16 A 14 14 0 1 0 38 28" fill="none" stroke="{TEAL}" '
        f'stroke-width="4" stroke-linecap="round"/>'
        f'<path d="M 30 14 L 38 15 L 37 7" fill="none" stroke="{TEAL}" stroke-width="4" '
        f'stroke-linecap="round" stroke-linejoin="round"/>')


def share_button():
    defs = gradient("share", "#2bbf7a", "#14955d")
    nodes = [(40, 56), (72, 38), (72, 76)]
    lines = "".join(f'<path d="M 40 56 L {x} {y}" stroke="{WHITE}" stroke-width="6"/>'
                    for x, y in nodes[1:])
    dots = "".join(f'<circle cx="{x}" cy="{y}" r="10" fill="{WHITE}"/>' for x, y in nodes)
    svg("weixinbutton.svg", 113, 113,
        f'<circle cx="56.5" cy="58.5" r="52" fill="#000000" fill-opacity="0.12"/>'
        f'<circle cx="56.5" cy="56.5" r="52" fill="url(#share)"/>'
        f'<circle cx="56.5" cy="56.5" r="47" fill="none" stroke="{WHITE}" '
        f'stroke-opacity="0.35" stroke-width="2"/>' + lines + dots, defs)


def child(cx, top, color):
    return (f'<circle cx="{cx}" cy="{top + 10}" r="9" fill="{color}"/>'
            f'<path d="M {cx - 12} {top + 24} L {cx + 12} {top + 24} L {cx + 9} {top + 44} '
            f'L {cx - 9} {top + 44} Z" fill="{color}"/>'
            f'<path d="M {cx - 6} {top + 44} L {cx - 7} {top + 58} M {cx + 6} {top + 44} '
            f'L {cx + 7} {top + 58} M {cx - 12} {top + 26} L {cx - 20} {top + 38} '
            f'M {cx + 12} {top + 26} L {cx + 20} {top + 38}" stroke="{color}" '
            f'stroke-width="6" stroke-linecap="round"/>')


def children_buttons():
    svg("childern.svg", 96, 96,
        f'<circle cx="48" cy="48" r="46" fill="{TEAL}"/>'
        f'<circle cx="48" cy="48" r="41" fill="none" stroke="{WHITE}" stroke-opacity="0.4" '
        f'stroke-width="2"/>' + child(48, 16, WHITE)
        + f'<circle cx="76" cy="22" r="11" fill="{GOLD}" stroke="{WHITE}" stroke-width="2.5"/>'
        f'<path d="M 71 22 L 75 26 L 82 18" fill="none" stroke="{WHITE}" stroke-width="3" '
        f'stroke-linecap="round" stroke-linejoin="round"/>')
    svg("childernp.svg", 96, 96,
        f'<circle cx="48" cy="48" r="46" fill="#eef2f2" stroke="{GREY_LIGHT}" '
        f'stroke-width="3"/>' + child(48, 16, GREY))


def track_marks():
    def pin(name, color, glyph):
        # A white pin under a slightly smaller coloured one gives a seamless white rim.
        svg(name, 36, 48,
            f'<g fill="#000000" fill-opacity="0.15" transform="translate(0 1.5)">'
            + pin_path(36, 17, 17, 47, 11) + "</g>"
            f'<g fill="{WHITE}">' + pin_path(36, 17, 17, 47, 11) + "</g>"
            f'<g fill="{color}">' + pin_path(36, 15, 17, 44, 9) + "</g>" + glyph)
    flag = (f'<path d="M 13 9 L 13 26" stroke="{WHITE}" stroke-width="2.6" '
            f'stroke-linecap="round"/>'
            f'<path d="M 14 9 L 25 12.5 L 14 17 Z" fill="{WHITE}"/>')
    pin("start.svg", "#2eaa5c", flag)
    pin("stop.svg", RED,
        f'<rect x="12" y="11" width="12" height="12" rx="2.5" fill="{WHITE}"/>')
    lock_body = f'<rect x="11.5" y="16" width="13" height="10" rx="2" fill="{WHITE}"/>'
    pin("stopopen.svg", TEAL, lock_body
        + f'<path d="M 14.5 16 L 14.5 12 A 4 4 0 0 1 22 10.5" fill="none" stroke="{WHITE}" '
        f'stroke-width="2.4" stroke-linecap="round"/>')
    pin("stopclose.svg", "#56606a", lock_body
        + f'<path d="M 14.5 16 L 14.5 12.5 A 3.5 3.5 0 0 1 21.5 12.5 L 21.5 16" fill="none" '
        f'stroke="{WHITE}" stroke-width="2.4"/>')
    svg("mapblackpoint.svg", 14, 14,
        f'<circle cx="7" cy="7" r="6.5" fill="{WHITE}"/>'
        f'<circle cx="7" cy="7" r="4.5" fill="#111111"/>')


def rider_marks():
    # The avatar sits in a circle of radius 0.33 h at (w / 2, 0.379 h): (30, 30), r 26.
    greens = ["#86c96b", "#49a84f", "#2a8856", "#17603a"]
    blacks = ["#62686b", "#454a4d", "#2b2f31", "#121415"]
    for band in range(1, 5):
        for prefix, colors, dot in (("biggreenbg", greens, WHITE),
                                    ("blackmarkbg", blacks, WHITE)):
            color = colors[band - 1]
            dots_color = GOLD if band == 4 else dot
            dots = "".join(
                f'<circle cx="{30 + (i - (band - 1) / 2) * 5.2:.2f}" cy="62.5" r="1.9" '
                f'fill="{dots_color}"/>' for i in range(band))
            svg(f"{prefix}{band}.svg", 60, 80,
                f'<g fill="#000000" fill-opacity="0.16" transform="translate(0 1.5)">'
                + pin_path(60, 29, 30, 79, 18) + "</g>"
                f'<g fill="{color}">' + pin_path(60, 29, 30, 78, 18) + "</g>"
                f'<circle cx="30" cy="30" r="26.5" fill="{WHITE}"/>'
                f'<circle cx="30" cy="30" r="25" fill="{GREY_LIGHT}"/>' + dots)


def section_tabs():
    gauge = (f'<path d="M 14 44 A 22 22 0 1 1 58 44" fill="none" stroke="{TEAL}" '
             f'stroke-width="6" stroke-linecap="round"/>'
             f'<path d="M 36 42 L 48 26" stroke="{INK}" stroke-width="5" '
             f'stroke-linecap="round"/><circle cx="36" cy="42" r="5" fill="{INK}"/>'
             f'<path d="M 22 56 L 50 56" stroke="{TEAL}" stroke-width="5" '
             f'stroke-linecap="round"/>')
    pos = (f'<path d="M 36 62 L 22 40 A 17 17 0 1 1 50 40 Z" fill="{TEAL}"/>'
           f'<circle cx="36" cy="27" r="7" fill="{WHITE}"/>'
           f'<path d="M 14 58 Q 36 70 58 58" fill="none" stroke="{INK}" stroke-width="4" '
           f'stroke-linecap="round" stroke-opacity="0.5"/>')
    mine = (f'<circle cx="36" cy="24" r="12" fill="{TEAL}"/>'
            f'<path d="M 12 62 Q 12 40 36 40 Q 60 40 60 62 Z" fill="{TEAL}"/>'
            f'<path d="M 51 10 L 54 17 L 61 17.5 L 55.5 22 L 57.5 29 L 51 25 L 44.5 29 '
            f'L 46.5 22 L 41 17.5 L 48 17 Z" fill="{GOLD}" stroke="{WHITE}" '
            f'stroke-width="1.5"/>')
    for name, glyph in (("tabset.svg", gauge), ("tabpos.svg", pos), ("tabmine.svg", mine)):
        svg(name, 72, 72, glyph)
    svg("graybar.svg", 720, 160,
        f'<rect width="720" height="160" fill="#f4f7f7"/>'
        f'<rect width="720" height="2" fill="{GREY_LIGHT}"/>')


def connect_button():
    svg("connect.svg", 240, 240,
        f'<circle cx="120" cy="120" r="104" fill="{TEAL}"/>'
        f'<circle cx="120" cy="120" r="92" fill="none" stroke="{WHITE}" stroke-opacity="0.35" '
        f'stroke-width="3"/>'
        f'<path d="M 96 86 A 46 46 0 1 0 144 86" fill="none" stroke="{WHITE}" '
        f'stroke-width="10" stroke-linecap="round"/>'
        f'<path d="M 120 66 L 120 116" stroke="{WHITE}" stroke-width="10" '
        f'stroke-linecap="round"/>')
    defs = ('<radialGradient id="glow" cx="0.5" cy="0.5" r="0.5">'
            f'<stop offset="0.55" stop-color="{TEAL}" stop-opacity="0.55"/>'
            f'<stop offset="1" stop-color="{TEAL}" stop-opacity="0"/></radialGradient>')
    svg("connectbg.svg", 240, 240, '<circle cx="120" cy="120" r="120" fill="url(#glow)"/>',
        defs)


def welcome():
    defs = (gradient("sky", "#0f7f75", "#7fd0c4") + gradient("hill1", "#1e9c8f", "#15766d")
            + gradient("hill2", "#2bb3a2", "#1f9283"))
    body = (
        '<rect width="720" height="1280" fill="url(#sky)"/>'
        f'<circle cx="588" cy="560" r="62" fill="{GOLD}" fill-opacity="0.95"/>'
        f'<circle cx="588" cy="560" r="92" fill="{GOLD}" fill-opacity="0.15"/>'
        '<path d="M 0 860 Q 180 740 380 830 Q 560 910 720 800 L 720 1280 L 0 1280 Z" '
        'fill="url(#hill1)"/>'
        '<path d="M 0 960 Q 240 880 460 950 Q 620 1000 720 960 L 720 1280 L 0 1280 Z" '
        'fill="url(#hill2)"/>'
        '<path d="M 250 1280 Q 330 1080 470 990 L 500 990 Q 420 1100 470 1280 Z" '
        'fill="#f4f7f7" fill-opacity="0.9"/>'
        '<path d="M 400 1250 Q 400 1130 478 1010" fill="none" stroke="#139286" '
        'stroke-width="6" stroke-dasharray="24 22" stroke-opacity="0.6"/>'
        + scooter(214, 700, 290, WHITE, 7)
        + f'<text x="360" y="300" font-family="{FONT}" font-size="150" font-weight="bold" '
        f'fill="{WHITE}" text-anchor="middle">驴行</text>'
        f'<text x="360" y="372" font-family="{FONT}" font-size="40" fill="{WHITE}" '
        f'fill-opacity="0.85" text-anchor="middle">LVXING</text>'
        f'<text x="360" y="452" font-family="{FONT}" font-size="34" fill="{WHITE}" '
        f'fill-opacity="0.9" text-anchor="middle">骑得开心 · 停得放心</text>')
    svg("welcome.svg", 720, 1280, body, defs)


if __name__ == "__main__":
    check_boxes()
    avatars()
    logos()
    arrows()
    share_button()
    children_buttons()
    track_marks()
    rider_marks()
    section_tabs()
    connect_button()
    welcome()
