#!/usr/bin/env python3
"""Writes the demo dimension drawings globe.dwf, rotary.dwf and onoff.dwf beside the series
sources. Not part of the build: run it by hand after changing a drawing or a series' sizes, and
commit the written files.

    python3 catalogue/tools/make_drawings.py

The dimension tables take their sizes from the series' `sizes` and their weights from the
series' `numberList` (DN -> kg); the other dimensions are the catalogue data below."""
import json
import math
import pathlib
import re
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
from dwf_sheet import Dwf, rect, mirror_x, mirror_y, ellipse_pts, text_width  # noqa: E402

SERIES = pathlib.Path(__file__).resolve().parent.parent / 'series'
FRAME = (2000, 1000, 41000, 28700)   # 20 mm binding margin on the left, 10 mm elsewhere
RIGHT = 23000                         # left edge of the title block and the tables column

# Flange PN 40 (EN 1092-1): DN -> (D, K, holes); weld-end outside diameter (EN 10220)
FLANGE = {15: (95, 65, '4×14'), 20: (105, 75, '4×14'), 25: (115, 85, '4×14'), 32: (140, 100, '4×18'),
          40: (150, 110, '4×18'), 50: (165, 125, '4×18'), 65: (185, 145, '8×18'), 80: (200, 160, '8×18'),
          100: (235, 190, '8×22'), 125: (270, 220, '8×26'), 150: (300, 250, '8×26'),
          200: (375, 320, '12×30'), 250: (450, 385, '12×33'), 300: (515, 450, '16×33')}
DA = {15: '21.3', 20: '26.9', 25: '33.7', 32: '42.4', 40: '48.3', 50: '60.3', 65: '76.1', 80: '88.9',
      100: '114.3', 125: '139.7', 150: '168.3', 200: '219.1', 250: '273', 300: '323.9'}


def load(name):
    text = (SERIES / name).read_text(encoding='utf-8')
    return json.loads(re.sub(r'^\s*//.*$', '', text, flags=re.M))


def weights(series):
    kg = {int(r['number']): r['texts'][1] for r in series['numberList']}
    return {int(s['DN']): kg.get(int(s['DN']), '–') for s in series['sizes']}


# ---- sheet parts -----------------------------------------------------------------------------

def frame_and_title(d, title, series_text, drawing_no):
    d.layer('TITLE')
    d.pen(70)
    x1, y1, x2, y2 = FRAME
    d.polyline(rect(x1, y1, x2, y2), closed=True)
    # centring marks on the sheet edges
    d.pen(50)
    for a, b in (((21000, 0), (21000, y1)), ((21000, y2), (21000, 29700)),
                 ((0, 14850), (x1, 14850)), ((x2, 14850), (42000, 14850))):
        d.line(a, b)
    tx, top = RIGHT, 6800
    d.pen(50)
    d.polyline(rect(tx, y1, x2, top), closed=True)
    d.pen(25)
    for y in (5600, 4400, 3200):
        d.line((tx, y), (x2, y))
    d.line((32000, 5600), (32000, top))
    d.line((29000, 3200), (29000, 4400))
    d.line((35000, 3200), (35000, 4400))
    d.line((33400, y1), (33400, 3200))
    d.line((37400, y1), (37400, 3200))
    d.line((33400, 2100), (x2, 2100))
    cap = 230

    def caption(x, y, text):
        d.text(x + 120, y - 300, text, cap)

    caption(tx, top, 'Zákazník / Customer')
    caption(32000, top, 'Akce / Project')
    caption(tx, 5600, 'Typové označení / Type designation')
    caption(tx, 4400, 'Pozice / Tag')
    caption(29000, 4400, 'Kreslil / Drawn by')
    caption(35000, 4400, 'Datum / Date')
    caption(33400, 3200, 'Hmotnost / Weight')
    caption(37400, 3200, 'Formát / Size')
    caption(33400, 2100, 'Výkres č. / Drawing no.')
    caption(37400, 2100, 'Měřítko / Scale')
    d.placeholder(tx + 150, 5850, 'zakaznik')
    d.placeholder(32150, 5850, 'akce')
    d.placeholder(tx + 150, 4650, 'ozn')
    d.placeholder(tx + 150, 3450, 'kks')
    d.placeholder(29150, 3450, 'kreslil')
    d.placeholder(35150, 3450, 'datum')
    d.placeholder(33550, 2300, 'VAHA', ' kg')
    d.text(38200, 2300, 'A3', 350)
    d.text(33550, 1250, drawing_no, 300)
    d.text(37550, 1250, '—', 300)
    # first-angle projection symbol
    d.pen(18)
    d.polyline([(38900, 1250), (39700, 1450), (39700, 1850), (38900, 2050)], closed=True)
    d.circle((40350, 1650), 400)
    d.circle((40350, 1650), 200)
    d.centre_line((38750, 1650), (40900, 1650))
    # drawing title and the maker's line
    d.colour(0, 0, 0)
    d.text(tx + 200, 2550, 'ROZMĚROVÝ VÝKRES / DIMENSION DRAWING', 420, bold=True)
    d.text(tx + 200, 1850, title, 330)
    d.text(tx + 200, 1250, series_text, 300)


def notes(d, x, y_top, heading, lines, h=260):
    d.colour(0, 0, 0)
    d.text(x, y_top - 330, heading, 330, bold=True)
    y = y_top - 330
    for line in lines:
        y -= 430
        d.text(x, y, line, h)
    return y


def parts_list(d, x, y_top, parts):
    d.text(x, y_top - 330, 'Kusovník / Parts list', 330, bold=True)
    cols = [900, 6100, 10500]
    return d.table(x, y_top - 500, cols, [['Poz.', 'Díl / Part', 'Materiál / Material']],
                   [[str(i + 1), p, m] for i, (p, m) in enumerate(parts)], row_h=430, head_h=480, h=250)


def dimension_table(d, series_list, rows_for, first_cols, y_top=28400):
    """DN rows over the union of the series' sizes, the shared dimensions, then one weight
    column per series."""
    dns = sorted({dn for s in series_list for dn in weights(s)})
    per = [weights(s) for s in series_list]
    d.colour(0, 0, 0)
    d.text(RIGHT, y_top - 330, 'Rozměry / Dimensions [mm], příruby / flanges PN 40', 330, bold=True)
    names = [s['name'] for s in series_list]
    wcol = max(1700, max(int(text_width(n, 250, True)) + 300 for n in names))
    fixed = [w for _, w in first_cols]
    cols = fixed + [wcol] * len(names)
    scale = min(1.0, (FRAME[2] - 500 - RIGHT) / sum(cols))
    cols = [int(c * scale) for c in cols]
    header = [[h for h, _ in first_cols] + ['m [kg]'] + [None] * (len(names) - 1),
              [''] * len(first_cols) + names]
    rows = [rows_for(dn) + [p.get(dn, '–') for p in per] for dn in dns]
    # the first header row spans both header rows for the dimension symbols
    return d.table(RIGHT, y_top - 500, cols, header, rows, row_h=470, head_h=500, h=250)


# ---- shared valve pieces ---------------------------------------------------------------------

def flanges(d, x_end, x_joint, x0, y0, rb, rD, rK, hub_r, joint_r, t=1600):
    """Both flanged ends: the inlet at x_end..x_joint and its mirror image about x0."""
    s = 1 if x_joint > x_end else -1
    upper = [(x_end, y0 + rb), (x_end, y0 + rb + 600), (x_end + s * 100, y0 + rb + 600),
             (x_end + s * 100, y0 + rD), (x_end + s * (100 + t), y0 + rD),
             (x_end + s * (100 + t), y0 + hub_r), (x_joint, y0 + joint_r), (x_joint, y0 + rb)]
    hole = rect(x_end + s * 50, y0 + rK - 300, x_end + s * (150 + t), y0 + rK + 300)
    for side in (1, -1):
        ins = [upper, mirror_y(upper, y0)]
        outs = [hole, mirror_y(hole, y0)]
        if side < 0:
            ins = [mirror_x(q, x0) for q in ins]
            outs = [mirror_x(q, x0) for q in outs]
        d.section(ins, outs, skip=lambda a, b, xj=(x_joint if side > 0 else 2 * x0 - x_joint):
                  abs(a[0] - xj) < 1 and abs(b[0] - xj) < 1)
    for xe in (x_end, 2 * x0 - x_end):
        xs = xe - s * 250 if xe == x_end else xe + s * 250
        xf = xe + s * (t + 350) if xe == x_end else xe - s * (t + 350)
        for yk in (y0 + rK, y0 - rK):
            d.centre_line((xs, yk), (xf, yk))


def weld_ends(d, x_end, x_joint, x0, y0, rb, ro):
    s = 1 if x_joint > x_end else -1
    bevel = (ro - rb - 100) * math.tan(math.radians(37.5))
    upper = [(x_end, y0 + rb), (x_end, y0 + rb + 100), (x_end + s * bevel, y0 + ro), (x_joint, y0 + ro),
             (x_joint, y0 + rb)]
    for q in (upper, mirror_y(upper, y0), mirror_x(upper, x0), mirror_x(mirror_y(upper, y0), x0)):
        xj = x_joint if q[0][0] == x_end else 2 * x0 - x_joint
        d.section([q], skip=lambda a, b, xj=xj: abs(a[0] - xj) < 1 and abs(b[0] - xj) < 1)
    # the bevel angle, measured from the end face
    root = (x_end, y0 + rb + 100)
    d.pen(18)
    d.arc(root, 1000, 90 - 37.5, 90)
    d.line(root, (x_end, y0 + rb + 1250))
    d.text(x_end + 250, y0 + ro + 550, '37,5°', 300)
    return bevel


def left_dims_flanged(d, x_end, y0, rD, rK):
    d.dim_v(y0 - rK, y0 + rK, x_end - 700, 'ØK', ext1=x_end - 150, ext2=x_end - 150)
    d.dim_v(y0 - rD, y0 + rD, x_end - 1400, 'ØD', ext1=x_end + 100, ext2=x_end + 100)


def end_extensions(d, x_end, x_end2, y_from, y_dim):
    d.pen(18)
    for x in (x_end, x_end2):
        d.line((x, y_from - 120), (x, y_dim - 200))


def outlet_pipes(d, x_face, y0, r_pipe, r_big, reduced):
    """The adjoining outlet piping, thin phantom lines: straight, or through a concentric
    reducer to the larger outlet size DN2."""
    d.pen(25, 'Long_Dash_Dot_Dot', (40, 40, 40))
    x_cone = x_face + 1300
    x_end = x_face + 3100
    if reduced:
        for s in (1, -1):
            d.polyline([(x_face, y0 + s * r_pipe), (x_face + 300, y0 + s * r_pipe), (x_cone, y0 + s * r_big),
                        (x_end, y0 + s * r_big)])
        d.line((x_face + 300, y0 - r_pipe), (x_face + 300, y0 + r_pipe))
        d.line((x_cone, y0 - r_big), (x_cone, y0 + r_big))
        r_end = r_big
    else:
        for s in (1, -1):
            d.line((x_face, y0 + s * r_pipe), (x_end, y0 + s * r_pipe))
        r_end = r_pipe
    d.pattern('Solid')
    # pipe break
    d.pen(25, 'Solid', (40, 40, 40))
    d.ellipse((x_end, y0 + r_end / 2), int(r_end / 5), int(r_end / 2), 270, 90)
    d.ellipse((x_end, y0 + r_end / 2), int(r_end / 5), int(r_end / 2), 90, 270)
    d.ellipse((x_end, y0 - r_end / 2), int(r_end / 5), int(r_end / 2), 90, 270)
    d.colour(0, 0, 0)
    label = 'DN2' if reduced else 'DN'
    d.text(x_face + 1700, y0 + r_end + 250, label, 350, 'c')
    if reduced:
        d.text(x_face + 1700, y0 - r_end - 550, 'redukce / reducer', 260, 'c')


def actuator_table(d, heading, header, rows, y_top=28400):
    d.colour(0, 0, 0)
    d.text(FRAME[0] + 400, y_top - 330, heading, 300, bold=True)
    cols = [1250, 1000, 1000, 1000]
    return d.table(FRAME[0] + 400, y_top - 480, cols, [header], rows, row_h=430, head_h=480, h=240)


# ---- the globe valve ---------------------------------------------------------------------------

def globe():
    series = [load('tv100.json'), load('tv300.json'), load('tv500.json')]
    d = Dwf('Demo dimension drawing: globe control valves TV 100, TV 300 LN, TV 500 K; 1 unit = 0.01 mm')
    x0, y0 = 12000, 11000
    xe, xj = 5000, 7400          # inlet end face and the joint between end piece and body
    rb = 1500
    d.layer('BODY')
    frame_layers(d)
    d.layer('BODY')

    # body casting: outer contour and the flow space (S-shaped partition, seat bridge)
    a1 = math.degrees(math.asin(2200 / 3700))
    a2 = math.degrees(math.acos(2700 / 4100))
    outer = [(xj, y0 - 2200)] + ellipse_pts(x0, y0, 4100, 3700, 180 + a1 + 0.0, 360 - a1) + \
        [(16600, y0 - 2200), (16600, y0 + 2200)] + ellipse_pts(x0, y0, 4100, 3700, a1, a2) + \
        [(14700, y0 + 3700), (15500, y0 + 3700), (15500, y0 + 4300), (8500, y0 + 4300), (8500, y0 + 3700),
         (9300, y0 + 3700)] + ellipse_pts(x0, y0, 4100, 3700, 180 - a2, 180 - a1) + [(xj, y0 + 2200)]
    rel = [(-5200, -1500), (-3000, -1500), (-2300, -2500), (-1300, -2900), (1300, -2900), (2100, -2400),
           (2300, -1700), (1600, -800), (900, -500), (900, 0), (2700, -700), (3300, -1500), (5200, -1500),
           (5200, 1500), (3300, 1500), (2700, 2200), (2200, 2900), (1900, 3500), (1900, 5000), (-1900, 5000),
           (-1900, 3500), (-2200, 2900), (-2600, 2300), (-1600, 900), (-900, 0), (-900, -500), (-1700, 400),
           (-2600, 1500), (-5200, 1500)]
    cavity = [(x0 + x, y0 + y) for x, y in rel]
    holes = [rect(x0 + s * 2800 - 200, y0 + 3750, x0 + s * 2800 + 200, y0 + 4400) for s in (1, -1)]
    d.section([outer], [cavity] + holes,
              skip=lambda a, b: (abs(a[0] - xj) < 1 and abs(b[0] - xj) < 1) or
              (abs(a[0] - 16600) < 1 and abs(b[0] - 16600) < 1))
    # seat ring
    for s in (1, -1):
        ring = [(x0 + s * 450, y0 - 500), (x0 + s * 900, y0 - 500), (x0 + s * 900, y0 + 150), (x0 + s * 450, y0 + 150)]
        d.section([ring], deg=135, spacing=150, w=35)
    # bonnet
    half = [(-1880, 3500), (-1880, 4360), (-3300, 4360), (-3300, 5000), (-1500, 5000), (-1500, 5400),
            (-1300, 5600), (-1300, 7600), (-1600, 7600), (-1600, 8000)]
    bonnet = [(x0 + x, y0 + y) for x, y in half] + [(x0 - x, y0 + y) for x, y in reversed(half)]
    bore = [(-1150, 3400), (-1150, 5300), (-300, 5300), (-300, 6000), (-800, 6000), (-800, 8100)]
    bore = [(x0 + x, y0 + y) for x, y in bore] + [(x0 - x, y0 + y) for x, y in reversed(bore)]
    studs = [rect(x0 + s * 2800 - 200, y0 + 4300, x0 + s * 2800 + 200, y0 + 5050) for s in (1, -1)]
    d.section([bonnet], [bore] + studs, deg=135)
    # gasket, packing, gland
    for s in (1, -1):
        d.polygon([(x0 + s * 1900, y0 + 4300), (x0 + s * 2550, y0 + 4300), (x0 + s * 2550, y0 + 4360),
                   (x0 + s * 1900, y0 + 4360)])
        d.pen(25)
        for k in range(3):
            yb = y0 + 6050 + k * 420
            box = rect(x0 + s * 300, yb, x0 + s * 800, yb + 400)
            d.polyline(box, closed=True)
            d.line(box[0], box[2])
            d.line(box[1], box[3])
        gland = [(x0 + s * 310, y0 + 7300), (x0 + s * 790, y0 + 7300), (x0 + s * 790, y0 + 8300),
                 (x0 + s * 1200, y0 + 8300), (x0 + s * 1200, y0 + 8550), (x0 + s * 310, y0 + 8550)]
        d.section([gland], spacing=150, w=35)
    # stud bolts and nuts (in view)
    d.pen(35)
    for s in (1, -1):
        xs = x0 + s * 2800
        d.polyline(rect(xs - 150, y0 + 3800, xs + 150, y0 + 5600), closed=True)
        d.polyline(rect(xs - 330, y0 + 5000, xs + 330, y0 + 5380), closed=True)
        d.line((xs - 110, y0 + 5000), (xs - 110, y0 + 5380))
        d.line((xs + 110, y0 + 5000), (xs + 110, y0 + 5380))
    # plug and stem (in view)
    prof = [(1100, 3300), (1100, 1300), (900, 1000), (600, 500), (450, 150), (380, -100), (280, -450),
            (120, -650), (0, -700)]
    plug = [(x0 - x, y0 + y) for x, y in prof] + [(x0 + x, y0 + y) for x, y in reversed(prof[:-1])]
    d.polygon(plug, (255, 255, 255))
    d.pen(50)
    d.polyline(plug, closed=True)
    d.polygon(rect(x0 - 250, y0 + 3300, x0 + 250, y0 + 9600), (255, 255, 255))
    d.pen(50)
    d.polyline([(x0 - 250, y0 + 3300), (x0 - 250, y0 + 9600), (x0 + 250, y0 + 9600), (x0 + 250, y0 + 3300)])
    # flow arrow cast on the body
    d.colour(0, 0, 0)
    d.polygon([(7600, y0 + 2650), (8500, y0 + 2650), (8500, y0 + 2500), (8950, y0 + 2750), (8500, y0 + 3000),
               (8500, y0 + 2850), (7600, y0 + 2850)])
    # centre lines
    d.centre_line((3000, y0), (22800, y0))
    d.centre_line((x0, y0 - 4400), (x0, 26000))
    # dimensions shared by every variant
    d.dim_h(xe, 19000, 5300, 'L')
    d.dim_v(y0 - 3700, y0, 2900, 'H2', ext2=None, ext1=x0 - 500)
    d.dim_v(y0, y0 + 8000, 2900, 'H', ext2=x0 - 1600)
    # balloons
    for n, c, t in ((1, (7700, 15400), (9100, y0 + 2700)), (7, (7700, 16300), (x0 - 2200, y0 + 4330)),
                    (8, (7700, 17200), (x0 - 2950, y0 + 5200)), (2, (7700, 18100), (x0 - 1400, y0 + 6500)),
                    (4, (16400, 15600), (x0 + 700, y0 + 50)), (3, (16400, 16500), (x0 + 700, y0 + 2300)),
                    (5, (16400, 17400), (x0 + 120, y0 + 5700)), (6, (16400, 18300), (x0 + 550, y0 + 6700))):
        d.balloon(c, n, t)

    def rows(dn):
        D, K, n = FLANGE[dn]
        L = {15: 130, 20: 150, 25: 160, 32: 180, 40: 200, 50: 230, 65: 290, 80: 310, 100: 350, 125: 400,
             150: 480, 200: 600}[dn]
        H2 = {15: 45, 20: 50, 25: 55, 32: 65, 40: 70, 50: 80, 65: 95, 80: 105, 100: 125, 125: 145, 150: 165,
              200: 210}[dn]
        H = {15: 150, 20: 150, 25: 160, 32: 165, 40: 175, 50: 185, 65: 215, 80: 225, 100: 250, 125: 300,
             150: 330, 200: 410}[dn]
        return [str(dn), str(L), str(H), str(H2), str(D), str(K), n, DA[dn]]

    bottom = dimension_table(d, series, rows, [('DN', 1150), ('L', 1250), ('H', 1250), ('H2', 1250),
                                              ('ØD', 1250), ('ØK', 1250), ('n × Ød', 1700), ('da', 1500)])
    bottom = parts_list(d, RIGHT, bottom - 300,
                        [('Těleso / Body', 'dle objednávky / as ordered: 1.0619, 1.4408, EN-GJS'),
                         ('Víko / Bonnet', 'jako těleso / as body'),
                         ('Kuželka / Plug', '1.4021, 1.4571 (+ stellit / stellite)'),
                         ('Sedlo / Seat ring', '1.4021, 1.4571 (+ stellit / stellite)'),
                         ('Vřeteno / Stem', '1.4021'),
                         ('Ucpávka / Packing', 'PTFE V-kroužky / V-rings, grafit / graphite'),
                         ('Těsnění / Gasket', 'grafit s nerez vložkou / graphite, steel insert'),
                         ('Svorník, matice / Stud, nut', '1.7225 / 1.1181')])
    notes(d, RIGHT, bottom - 250, 'Poznámky / Notes', [
        '1. Dimensions in mm; the valve is shown closed, the section in the plane of the stem.',
        '2. Face-to-face L to EN 558 series 1; flanges EN 1092-1 type 21, raised face B1.',
        '3. Butt-weld ends to EN 12627, bevel 37.5°, outside diameter da per table.',
        '4. Weights without actuator. H: pipe axis to the actuator mounting face.',
        '5. Flow to open (arrow cast on the body); install with the stem upright.',
        '6. DN2: outlet piping one or more sizes larger, concentric reducer by the buyer.'])
    frame_and_title(d, 'Regulační ventil přímý / Globe control valve',
                    'Řada / Series ' + ', '.join(s['name'] for s in series), 'TV-100-RV-01')

    d.layer('CONNECTION_FLANGED')
    flanges(d, xe, xj, x0, y0, rb, 3500, 2700, 2500, 2200)
    left_dims_flanged(d, xe, y0, 3500, 2700)
    end_extensions(d, xe, 19000, y0 - 3500, 5300)

    d.layer('CONNECTION_WELD')
    weld_ends(d, xe, xj, x0, y0, rb, 2200)
    d.dim_v(y0 - 2200, y0 + 2200, xe - 700, 'Øda', ext1=xe + 300, ext2=xe + 300)
    end_extensions(d, xe, 19000, y0 - 1600, 5300)

    d.layer('OUTLET_EQUAL')
    outlet_pipes(d, 19000, y0, 2200, 2900, False)
    d.layer('OUTLET_REDUCED')
    outlet_pipes(d, 19000, y0, 2200, 2900, True)

    top = y0 + 8000
    d.layer('ACTUATOR_A')
    yoke(d, x0, top, 22800)
    d.pen(50)
    case = [(x0 - 2400, 23300), (x0 - 4700, 23800), (x0 - 5200, 23800), (x0 - 5200, 24200), (x0 - 4700, 24200)]
    d.polyline(case + [(x0 - 4700, 24200)])
    d.polyline([(x, y) for x, y in mirror_x(case, x0)])
    d.polyline([(x0 - 2400, 23300), (x0 + 2400, 23300)])
    d.ellipse((x0, 24200), 4700, 1200, 0, 180)
    d.line((x0 - 4700, 24200), (x0 + 4700, 24200))
    d.pen(25)
    for k in range(7):
        xb = x0 + 5000 * math.cos(math.radians(k * 30))
        d.line((xb, 23650), (xb, 24350))
    d.pen(35)
    d.polyline(rect(x0 + 1650, 25280, x0 + 1950, 25600), closed=True)
    d.text(x0 + 2150, 25750, 'G 1/4', 260)
    d.dim_v(top, 25600, 18800, 'H1', ext1=x0 + 2700, ext2=x0 + 2000)
    d.dim_h(x0 - 5200, x0 + 5200, 26400, 'ØA', ext1=23800, ext2=23800, tx=x0 + 2000)
    actuator_table(d, 'Pohon / Actuator PA, PR', ['A [cm²]', 'ØA', 'H1', 'kg'],
                   [['160', '230', '260', '12'], ['250', '280', '300', '18'], ['400', '350', '360', '32'],
                    ['630', '420', '430', '55'], ['1000', '530', '520', '95']])

    d.layer('ACTUATOR_B')
    yoke(d, x0, top, 22300)
    d.pen(50)
    d.polyline([(x0 - 2800, 22800), (x0 + 2800, 22800), (x0 + 2800, 26000), (x0 + 2600, 26200),
                (x0 - 2600, 26200), (x0 - 2800, 26000)], closed=True)
    d.polyline(rect(x0 + 2800, 23400, x0 + 5400, 25200), closed=True)
    d.ellipse((x0 + 5400, 24300), 350, 900, 270, 90)
    d.pen(18)
    for k in range(8):
        d.line((x0 + 3150 + k * 300, 23400), (x0 + 3150 + k * 300, 25200))
    d.polyline(rect(x0 - 1800, 24600, x0 + 1800, 25800), closed=True)
    d.text(x0, 25050, 'EA', 400, 'c', bold=True)
    for yy in (23300, 23900):
        d.polyline(rect(x0 - 3250, yy, x0 - 2800, yy + 350), closed=True)
    d.pen(35)
    d.line((x0 - 150, 26200), (x0 - 150, 26550))
    d.line((x0 + 150, 26200), (x0 + 150, 26550))
    d.ellipse((x0, 26650), 1800, 250)
    d.dim_v(top, 26900, 18800, 'H1', ext1=x0 + 2700, ext2=x0 + 1900)
    d.dim_h(x0 - 2800, x0 + 5750, 27500, 'B', ext1=26000, ext2=25300, tx=x0 + 1500)
    actuator_table(d, 'Pohon / Actuator EA', ['F [kN]', 'B', 'H1', 'kg'],
                   [['2', '330', '290', '6'], ['6', '380', '340', '11'], ['15', '460', '420', '24']])

    d.layer('ACTUATOR_HANDWHEEL')
    yoke(d, x0, top, 22300, nut=True)
    d.pen(35)
    d.polyline(rect(x0 - 250, 21400, x0 + 250, 25800), closed=True)
    d.pen(13)
    for k in range(14):
        yy = 22600 + k * 220
        if yy + 120 < 25800:
            d.line((x0 - 250, yy), (x0 + 250, yy + 120))
    d.pen(50)
    d.ellipse((x0, 24300), 3000, 450)
    d.ellipse((x0, 24300), 2550, 330)
    d.polyline(rect(x0 - 500, 24050, x0 + 500, 24600), closed=True)
    d.pen(35)
    d.ellipse((x0, 24300), 3500, 800, 200, 340)
    d.arrow((x0 + 3300, 24300 - 270), (x0 + 3000, 24300 - 560))
    d.text(x0 + 3700, 23250, 'zavírá / close', 260)
    d.dim_v(top, 25800, 18800, 'H1', ext1=x0 + 2700, ext2=x0 + 400)
    d.dim_h(x0 - 3000, x0 + 3000, 26500, 'ØA', ext1=24300, ext2=24300, tx=x0 + 1600)
    actuator_table(d, 'Ruční kolo / Handwheel', ['DN', 'ØA', 'H1', 'kg'],
                   [['15–50', '200', '260', '2'], ['65–100', '280', '330', '4'], ['125–200', '400', '420', '8']])
    return d


def frame_layers(d):
    """Fixes the layer numbers: BODY 1, TITLE 2, then the variants."""
    d.layer('TITLE')


def yoke(d, x0, base, top_plate, nut=False):
    d.pen(50)
    d.polyline(rect(x0 - 2600, base, x0 + 2600, base + 500), closed=True)
    for s in (1, -1):
        d.polyline(rect(x0 + s * 1700, base + 500, x0 + s * 2200, top_plate), closed=True)
    d.polyline(rect(x0 - 2600, top_plate, x0 + 2600, top_plate + 500), closed=True)
    if nut:
        d.polyline(rect(x0 - 900, top_plate + 500, x0 + 900, top_plate + 850), closed=True)
        return
    # stem coupling and travel indicator
    d.polyline(rect(x0 - 600, base + 1600, x0 + 600, base + 2400), closed=True)
    d.pen(25)
    d.polyline(rect(x0 - 1700, base + 1200, x0 - 1450, base + 2800), closed=True)
    for k in range(9):
        d.line((x0 - 1700, base + 1300 + k * 175), (x0 - 1700 + (150 if k % 4 == 0 else 80), base + 1300 + k * 175))
    d.line((x0 - 600, base + 2000), (x0 - 1450, base + 2000))
    d.pen(35)
    d.line((x0 - 250, base + 2400), (x0 - 250, top_plate))
    d.line((x0 + 250, base + 2400), (x0 + 250, top_plate))


# ---- the quarter-turn valves ---------------------------------------------------------------

def rotary_actuators(d, x0, mount, lever_rows, names):
    """Layers ACTUATOR_A (pneumatic rack and pinion), ACTUATOR_B (electric rotary) and
    ACTUATOR_LEVER, all on the mounting pad at height `mount`."""
    def bracket():
        d.pen(50)
        d.polyline(rect(x0 - 2600, mount, x0 + 2600, mount + 400), closed=True)
        for s in (1, -1):
            d.polyline(rect(x0 + s * 1800, mount + 400, x0 + s * 2200, mount + 2200), closed=True)
        d.polyline(rect(x0 - 2600, mount + 2200, x0 + 2600, mount + 2600), closed=True)
        d.polyline(rect(x0 - 700, mount + 1000, x0 + 700, mount + 1800), closed=True)
        d.pen(35)
        for s in (1, -1):
            d.line((x0 + s * 350, mount + 1800), (x0 + s * 350, mount + 2200))
        return mount + 2600

    d.layer('ACTUATOR_A')
    top = bracket()
    d.pen(50)
    d.polyline(rect(x0 - 3600, top, x0 + 3600, top + 2200), closed=True)
    for s in (1, -1):
        d.polyline([(x0 + s * 3600, top + 150), (x0 + s * 3900, top + 150), (x0 + s * 3900, top + 2050),
                    (x0 + s * 3600, top + 2050)])
        d.ellipse((x0 + s * 3900, top + 1100), 250, 950, 270 if s > 0 else 90, 90 if s > 0 else 270)
    d.pen(25)
    d.line((x0 - 3600, top + 1100), (x0 + 3600, top + 1100))
    for xx in (x0 - 1800, x0 + 1800):
        d.circle((xx, top + 1650), 220)
    d.pen(35)
    d.polyline(rect(x0 - 500, top + 2200, x0 + 500, top + 2450), closed=True)
    d.arc((x0, top + 2450), 700, 0, 180)
    d.line((x0 - 700, top + 2450), (x0 + 700, top + 2450))
    d.text(x0 + 900, top + 2500, 'ukazatel / indicator', 240)
    d.dim_v(mount, top + 3150, 18800, 'H1', ext1=x0 + 2700, ext2=x0 + 800)
    d.dim_h(x0 - 4150, x0 + 4150, top + 3700, 'A', ext1=top + 1100, ext2=top + 1100, tx=x0 + 2000)
    actuator_table(d, 'Pohon / Actuator ' + names[0], ['M [Nm]', 'A', 'H1', 'kg'],
                   [['20', '170', '150', '2,5'], ['40', '205', '165', '3,6'], ['80', '260', '190', '6'],
                    ['160', '310', '225', '9,5'], ['320', '400', '270', '17']])

    d.layer('ACTUATOR_B')
    top = bracket()
    d.pen(50)
    d.polyline([(x0 - 2400, top), (x0 + 2400, top), (x0 + 2400, top + 3200), (x0 + 2200, top + 3400),
                (x0 - 2200, top + 3400), (x0 - 2400, top + 3200)], closed=True)
    d.polyline(rect(x0 + 2400, top + 700, x0 + 5000, top + 2500), closed=True)
    d.ellipse((x0 + 5000, top + 1600), 350, 900, 270, 90)
    d.pen(18)
    for k in range(8):
        d.line((x0 + 2750 + k * 300, top + 700), (x0 + 2750 + k * 300, top + 2500))
    d.pen(35)
    d.line((x0 - 2400, top + 1600), (x0 - 2700, top + 1600))
    d.ellipse((x0 - 2850, top + 1600), 150, 1400)
    d.polyline(rect(x0 - 1700, top + 1900, x0 + 1700, top + 3000), closed=True)
    d.text(x0, top + 2300, names[1], 400, 'c', bold=True)
    d.dim_v(mount, top + 3400, 18800, 'H1', ext1=x0 + 2700, ext2=x0 + 2300)
    d.dim_h(x0 - 3000, x0 + 5350, top + 4000, 'B', ext1=top + 3000, ext2=top + 2600, tx=x0 + 1200)
    actuator_table(d, 'Pohon / Actuator ' + names[1], ['M [Nm]', 'B', 'H1', 'kg'],
                   [['50', '420', '250', '8'], ['100', '460', '280', '12'], ['250', '540', '330', '22']])

    d.layer('ACTUATOR_LEVER')
    d.pen(50)
    d.polyline(rect(x0 - 700, mount + 200, x0 + 700, mount + 1000), closed=True)
    arm = [(x0 + 700, mount + 450), (x0 + 4900, mount + 650), (x0 + 4900, mount + 950), (x0 + 700, mount + 850)]
    d.polyline(arm)
    d.ellipse((x0 + 5500, mount + 800), 700, 280, 0, 0, tilt=4)
    d.pen(35)
    d.polyline(rect(x0 - 350, mount + 1000, x0 + 350, mount + 1300), closed=True)
    d.text(x0 + 1200, mount + 1500, 'otevřeno / open', 260)
    d.dim_v(mount, mount + 1300, 18800, 'H1', ext1=x0 + 800, ext2=x0 + 450)
    d.dim_h(x0, x0 + 6200, mount + 2200, 'A', ext1=None, ext2=mount + 1100, tx=x0 + 3300)
    d.pen(18)
    d.line((x0, mount + 1420), (x0, mount + 2400))
    actuator_table(d, 'Páka / Lever', ['DN', 'A', 'H1', 'kg'], lever_rows)


def quarter_turn(kind):
    ball = kind == 'ball'
    sj = load('kk900.json' if ball else 'sk700.json')
    d = Dwf('Demo dimension drawing: %s valve %s; 1 unit = 0.01 mm' %
            ('ball' if ball else 'segment ball', sj['name']))
    x0, y0 = 12000, 11000
    xe, xj, rb = 5800, 7600, 1700
    mount = y0 + (5500 if ball else 5200)
    bottom = y0 - (4500 if ball else 4300)
    d.layer('BODY')
    frame_layers(d)
    d.layer('BODY')
    joint = lambda a, b: any(abs(a[0] - x) < 1 and abs(b[0] - x) < 1 for x in (xj, 2 * x0 - xj))
    P = lambda pts: [(x0 + x, y0 + y) for x, y in pts]
    white = (255, 255, 255)
    if not ball:
        outer = P([(-4400, -2400), (-2683, -2400)]) + ellipse_pts(x0, y0, 3600, 3600, 221.8, 250.5) + \
            P([(-1200, -4300), (1200, -4300)]) + ellipse_pts(x0, y0, 3600, 3600, 289.5, 318.2) + \
            P([(2683, -2400), (4400, -2400), (4400, 2400), (2683, 2400)]) + \
            ellipse_pts(x0, y0, 3600, 3600, 41.8, 65.4) + \
            P([(1500, 3273), (1500, 4700), (2600, 4700), (2600, 5200), (-2600, 5200), (-2600, 4700), (-1500, 4700),
               (-1500, 3273)]) + ellipse_pts(x0, y0, 3600, 3600, 114.6, 138.2) + P([(-2683, 2400), (-4400, 2400)])
        cavity = P([(-5000, -1700), (-2348, -1700)]) + ellipse_pts(x0, y0, 2900, 2900, 215.9, 260.1) + \
            P([(-500, -2856), (-500, -3900), (500, -3900), (500, -2856)]) + \
            ellipse_pts(x0, y0, 2900, 2900, 279.9, 324.1) + P([(2348, -1700), (5000, -1700), (5000, 1700), (2348, 1700)]) + \
            ellipse_pts(x0, y0, 2900, 2900, 35.9, 78.1) + \
            P([(600, 2837), (600, 4000), (900, 4000), (900, 5600), (-900, 5600), (-900, 4000), (-600, 4000),
               (-600, 2837)]) + ellipse_pts(x0, y0, 2900, 2900, 101.9, 144.1) + P([(-2348, 1700), (-5000, 1700)])
        d.section([outer], [cavity], skip=joint)
        # seat ring at the inlet
        for s in (1, -1):
            ring = P([(-3000, s * 1350), (-2480, s * 1350), (-2230, s * 1850), (-3000, s * 1850)])
            d.polygon(ring, white)
            d.section([ring], deg=135, spacing=150, w=35)
        # the segment and its arms (closed: the segment faces the seat)
        cap = ellipse_pts(x0, y0, 2780, 2780, 145, 215) + ellipse_pts(x0, y0, 2450, 2450, 215, 145)
        arms = [P([(-2277, 1595), (-700, 2700), (450, 2700), (450, 2350), (-600, 2350), (-2007, 1405)])]
        arms.append(mirror_y(arms[0], y0))
        for q in [cap] + arms:
            d.polygon(q, white)
        d.section([cap], deg=135, spacing=160)
        for q in arms:
            d.section([q], deg=135, spacing=160)
        shaft = P([(-450, 2350), (-450, 7600), (450, 7600), (450, 2350)])
        d.polygon(shaft, white)
        d.pen(50)
        d.polyline(shaft, closed=True)
        trunnion = P([(-450, -3850), (450, -3850), (450, -2350), (-450, -2350)])
        d.polygon(trunnion, white)
        d.polyline(trunnion, closed=True)
        pack_from, pack_to, pr_in, pr_out = 4000, 4900, 450, 900
    else:
        outer = P([(-4400, -2400), (-3700, -2400), (-3000, -4000), (1800, -4000), (1800, -4500), (2400, -4500),
                   (2400, 4500), (1800, 4500), (1800, 4000), (1500, 4000), (1500, 5000), (2600, 5000), (2600, 5500),
                   (-2600, 5500), (-2600, 5000), (-1500, 5000), (-1500, 4000), (-3000, 4000), (-3700, 2400),
                   (-4400, 2400)])
        cavity = P([(-5000, -1700), (-3300, -1700), (-3300, -3300), (2700, -3300), (2700, 3300), (600, 3300),
                    (600, 4300), (1000, 4300), (1000, 5700), (-1000, 5700), (-1000, 4300), (-600, 4300), (-600, 3300),
                    (-3300, 3300), (-3300, 1700), (-5000, 1700)])
        studs = [P(rect(1700, s * 3900 - 150, 3300, s * 3900 + 150)) for s in (1, -1)]
        d.section([outer], [cavity] + studs, skip=joint)
        end = P([(1700, -3250), (2400, -3250), (2400, -4500), (3000, -4500), (3000, -2900), (3600, -2400),
                 (4400, -2400), (4400, 2400), (3600, 2400), (3000, 2900), (3000, 4500), (2400, 4500), (2400, 3250),
                 (1700, 3250)])
        outs = [P(rect(1600, -1700, 4500, 1700)), P(rect(1600, 1700, 2700, 2400)), P(rect(1600, -2400, 2700, -1700))]
        d.section([end], outs + studs, deg=135, skip=joint)
        for s in (1, -1):
            for q in (P([(-3300, s * 1700), (-3300, s * 2400), (-1850, s * 2400), (-2520, s * 1700)]),
                      P([(2520, s * 1700), (1850, s * 2400), (2700, s * 2400), (2700, s * 1700)])):
                d.polygon(q, (150, 150, 150))
                d.pen(35)
                d.polyline(q, closed=True)
            d.pen(35)
            xs = x0 + 1700
            d.polyline(rect(xs, y0 + s * 3900 - 130, xs + 1700, y0 + s * 3900 + 130), closed=True)
            d.polyline(rect(xs + 1300, y0 + s * 3900 - 330, xs + 1650, y0 + s * 3900 + 330), closed=True)
        # the ball, open: its bore in line with the pipe
        top_cap = ellipse_pts(x0, y0, 3000, 3000, 34.5, 145.5)
        caps = [top_cap, mirror_y(top_cap, y0)]
        slot = P(rect(-400, 2500, 400, 3100))
        d.section(caps, [slot], deg=135, spacing=170)
        stem = P([(-380, 2520), (380, 2520), (380, 3300), (550, 3300), (550, 7900), (-550, 7900), (-550, 3300),
                  (-380, 3300)])
        d.polygon(stem, white)
        d.pen(50)
        d.polyline(stem, closed=True)
        d.pen(25)
        for s in (1, -1):
            d.line((x0 + s * 450, y0 + 7300), (x0 + s * 450, y0 + 7900))
        pack_from, pack_to, pr_in, pr_out = 4300, 5200, 550, 1000
    # packing and gland
    for s in (1, -1):
        d.pen(25)
        for k in range(2):
            yb = y0 + pack_from + 30 + k * 440
            box = rect(x0 + s * pr_in, yb, x0 + s * pr_out, yb + 420)
            d.polyline(box, closed=True)
            d.line(box[0], box[2])
            d.line(box[1], box[3])
        gland = [(x0 + s * (pr_in + 10), y0 + pack_to), (x0 + s * (pr_out - 10), y0 + pack_to),
                 (x0 + s * (pr_out - 10), mount + 300), (x0 + s * (pr_out + 400), mount + 300),
                 (x0 + s * (pr_out + 400), mount + 550), (x0 + s * (pr_in + 10), mount + 550)]
        d.section([gland], spacing=150, w=35)
    d.colour(0, 0, 0)
    d.polygon([(7900, y0 + 2900), (8800, y0 + 2900), (8800, y0 + 2750), (9250, y0 + 3000), (8800, y0 + 3250),
               (8800, y0 + 3100), (7900, y0 + 3100)])
    d.centre_line((3000, y0), (22800, y0))
    d.centre_line((x0, bottom - 600), (x0, mount + 6500))
    x_out = 2 * x0 - xe
    d.dim_h(xe, x_out, 5300, 'L')
    d.dim_v(bottom, y0, 2900, 'H2', ext1=x0 - 1000)
    d.dim_v(y0, mount, 2900, 'H', ext2=x0 - 2700)
    if ball:
        marks = ((1, (7700, 15600), (x0 - 2300, y0 + 3700)), (3, (7700, 16500), (x0 - 1500, y0 + 2200)),
                 (4, (7700, 17400), (x0 - 2800, y0 + 2200)), (5, (7700, 18300), (x0 - 300, y0 + 6500)),
                 (2, (16600, 16400), (x0 + 2700, y0 + 3000)), (7, (16600, 17300), (x0 + 3200, y0 + 4100)),
                 (6, (16600, 18200), (x0 + 800, y0 + 4500)))
        parts = [('Těleso / Body', '1.0619, 1.4408'), ('Koncovka / End piece', 'jako těleso / as body'),
                 ('Koule / Ball', '1.4408, tvrdochrom / hard chrome'), ('Sedlo / Seat', 'PTFE + 25 % uhlík / carbon'),
                 ('Hřídel / Stem', '1.4021, 1.4462'), ('Ucpávka / Packing', 'PTFE, grafit / graphite'),
                 ('Svorník, matice / Stud, nut', '1.7225 / 1.1181')]
        title = 'Kulový kohout / Ball valve'
        note3 = '3. Full bore: the ball bore equals the pipe bore; shown open.'
        note5 = '5. Mounting pad ISO 5211; the stem flats show the ball position.'
        lever_rows = [['15–50', '200', '60', '0,6'], ['65–100', '350', '80', '1,5'], ['125–200', '600', '110', '3,5']]
    else:
        marks = ((1, (7700, 15600), (x0 - 2000, y0 + 3100)), (4, (7700, 16500), (x0 - 2700, y0 + 1600)),
                 (2, (7700, 17400), (x0 - 1500, y0 + 2200)), (3, (16600, 16400), (x0 + 250, y0 + 3600)),
                 (5, (16600, 17300), (x0 + 700, y0 + 4500)), (6, (16600, 18200), (x0 + 1100, mount + 450)))
        parts = [('Těleso / Body', '1.0619, 1.4408'), ('Segment', '1.4408, tvrdochrom / hard chrome'),
                 ('Hřídel / Shaft', '1.4462'), ('Sedlo / Seat ring', '1.4404 + stellit / stellite'),
                 ('Ucpávka / Packing', 'PTFE, grafit / graphite'), ('Ucpávkové víko / Gland', '1.4404')]
        title = 'Segmentový regulační ventil / Segment ball valve'
        note3 = '3. The V-notch segment turns 90° clockwise to close; shown closed.'
        note5 = '5. Mounting pad ISO 5211; shaft with splines DIN 5480.'
        lever_rows = [['25–80', '300', '70', '1'], ['100–150', '500', '90', '2,5'], ['200–300', '800', '120', '6']]
    for n, c, t in marks:
        d.balloon(c, n, t)
    L = ({15: 115, 20: 120, 25: 125, 32: 130, 40: 140, 50: 150, 65: 170, 80: 180, 100: 190, 125: 325, 150: 350,
          200: 400} if ball else
         {25: 102, 40: 114, 50: 124, 80: 165, 100: 194, 150: 229, 200: 243, 250: 297, 300: 338})
    Hs = ({15: 75, 20: 80, 25: 90, 32: 100, 40: 110, 50: 120, 65: 140, 80: 155, 100: 175, 125: 210, 150: 240,
           200: 290} if ball else
          {25: 120, 40: 130, 50: 140, 80: 165, 100: 185, 150: 225, 200: 265, 250: 310, 300: 350})
    H2 = ({15: 45, 20: 50, 25: 55, 32: 65, 40: 70, 50: 80, 65: 95, 80: 105, 100: 120, 125: 145, 150: 170, 200: 215}
          if ball else {25: 60, 40: 70, 50: 80, 80: 100, 100: 115, 150: 150, 200: 185, 250: 220, 300: 255})

    def rows(dn):
        D, K, n = FLANGE[dn]
        return [str(dn), str(L[dn]), str(Hs[dn]), str(H2[dn]), str(D), str(K), n, DA[dn]]

    low = dimension_table(d, [sj], rows, [('DN', 1300), ('L', 1450), ('H', 1450), ('H2', 1450), ('ØD', 1450),
                                         ('ØK', 1450), ('n × Ød', 2000), ('da', 1700)])
    low = parts_list(d, RIGHT, low - 300, parts)
    notes(d, RIGHT, low - 250, 'Poznámky / Notes', [
        '1. Dimensions in mm; section in the plane of the shaft.',
        '2. Flanges EN 1092-1 type 21, raised face B1; butt-weld ends EN 12627, 37.5°.',
        note3,
        '4. Weights without actuator. H: pipe axis to the top of the mounting pad.',
        note5,
        '6. DN2: outlet piping one or more sizes larger, concentric reducer by the buyer.'])
    frame_and_title(d, title, 'Řada / Series ' + sj['name'], sj['name'].replace(' ', '-') + '-RV-01')

    d.layer('CONNECTION_FLANGED')
    flanges(d, xe, xj, x0, y0, rb, 3600, 2800, 2700, 2400, t=1400)
    left_dims_flanged(d, xe, y0, 3600, 2800)
    end_extensions(d, xe, x_out, y0 - 3600, 5300)
    d.layer('CONNECTION_WELD')
    weld_ends(d, xe, xj, x0, y0, rb, 2400)
    d.dim_v(y0 - 2400, y0 + 2400, xe - 700, 'Øda', ext1=xe + 300, ext2=xe + 300)
    end_extensions(d, xe, x_out, y0 - 1700, 5300)
    d.layer('OUTLET_EQUAL')
    outlet_pipes(d, x_out, y0, 2400, 3100, False)
    d.layer('OUTLET_REDUCED')
    outlet_pipes(d, x_out, y0, 2400, 3100, True)
    rotary_actuators(d, x0, mount, lever_rows, ('PQ', 'EF'))
    return d


if __name__ == '__main__':
    for name, make in (('globe.dwf', globe), ('rotary.dwf', lambda: quarter_turn('segment')),
                       ('onoff.dwf', lambda: quarter_turn('ball'))):
        size = make().save(SERIES / name)
        print(name, size, 'bytes')
