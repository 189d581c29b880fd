"""Drawing primitives for the demo dimension drawings: an ASCII DWF writer with state tracking,
hatching, clipped outlines, dimensions, tables and the title block.

Logical unit 0.01 mm; the sheet is A3 landscape (0..42000 x 0..29700), Y up."""
import math

FULL_TURN = 65536
SHEET_W, SHEET_H = 42000, 29700

# Advance widths of Arial (Liberation Sans) per 1000 em, enough to centre and right-align texts.
_W = {' ': 278, '!': 278, '"': 355, '#': 556, '%': 889, '&': 667, "'": 191, '(': 333, ')': 333,
      '*': 389, '+': 584, ',': 278, '-': 333, '.': 278, '/': 278, ':': 278, ';': 278, '<': 584,
      '=': 584, '>': 584, '?': 556, '[': 278, ']': 278, '_': 556, '°': 400, '×': 584, '²': 333,
      '–': 556, 'Ø': 778, '·': 278}
for c in '0123456789$': _W[c] = 556
for c, w in zip('ABCDEFGHIJKLMNOPQRSTUVWXYZ',
                [667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778,
                 722, 667, 611, 722, 667, 944, 667, 667, 611]):
    _W[c] = w
for c, w in zip('abcdefghijklmnopqrstuvwxyz',
                [556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, 556, 556,
                 333, 500, 278, 556, 500, 722, 500, 500, 500]):
    _W[c] = w
_BASE = str.maketrans('áäčďéěíňóöřšťúůüýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ', 'aacdeeinoorstuuuyzACDEEINORSTUUYZ')


def text_width(s, height, bold=False):
    w = sum(_W.get(c, _W.get(c.translate(_BASE), 556)) for c in s) * height / 1000
    return w * (1.06 if bold else 1.0)


def quoted(s):
    """A string operand: single-quoted ASCII, or the hex UTF-16 form for anything else."""
    if all(32 <= ord(c) < 127 for c in s):
        return "'" + s.replace('\\', '\\\\').replace("'", "\\'") + "'"
    return '"' + ''.join('%04X' % ord(c) for c in s) + '"'


def angle(deg):
    return int(round((deg % 360) * FULL_TURN / 360)) % FULL_TURN


def pt(p):
    return '%d,%d' % (int(round(p[0])), int(round(p[1])))


# ---- polygon helpers -------------------------------------------------------------------------

def inside(p, poly):
    x, y = p
    hit = False
    n = len(poly)
    for i in range(n):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            xc = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if xc > x:
                hit = not hit
    return hit


def in_region(p, ins, outs):
    return sum(inside(p, q) for q in ins) % 2 == 1 and not any(inside(p, q) for q in outs)


def ellipse_pts(cx, cy, rx, ry, a0, a1, steps=None):
    """Points of an elliptical arc from a0 to a1 degrees (counter-clockwise when a1 > a0)."""
    steps = steps or max(4, int(abs(a1 - a0) / 5))
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]


def mirror_x(poly, x0):
    return [(2 * x0 - x, y) for x, y in poly]


def mirror_y(poly, y0):
    return [(x, 2 * y0 - y) for x, y in poly]


def rect(x1, y1, x2, y2):
    return [(x1, y1), (x2, y1), (x2, y2), (x1, y2)]


def _seg_cross(p, q, a, b):
    """Parameter t along p->q where it crosses segment a-b, or None."""
    d1 = (q[0] - p[0], q[1] - p[1])
    d2 = (b[0] - a[0], b[1] - a[1])
    den = d1[0] * d2[1] - d1[1] * d2[0]
    if abs(den) < 1e-9:
        return None
    t = ((a[0] - p[0]) * d2[1] - (a[1] - p[1]) * d2[0]) / den
    u = ((a[0] - p[0]) * d1[1] - (a[1] - p[1]) * d1[0]) / den
    if 0 < t < 1 and 0 <= u <= 1:
        return t
    return None


class Dwf:
    def __init__(self, comment):
        self.lines = ['(DWF V00.42)', '(Comment %s)' % quoted(comment),
                      '(Units mm ((100 0 0 0)(0 100 0 0)(0 0 1 0)(0 0 0 1)))',
                      '(View 0,0 %d,%d)' % (SHEET_W, SHEET_H), '(Background 255,255,255,255)']
        self.layers = {}
        self.st = {}
        self.font = None

    # -- state --
    def _set(self, key, value, opcode):
        if self.st.get(key) != value:
            self.st[key] = value
            self.lines.append(opcode)

    def layer(self, name):
        if name in self.layers:
            self.lines.append('(Layer %d)' % self.layers[name])
        else:
            self.layers[name] = len(self.layers) + 1
            self.lines.append('(Layer %d %s)' % (self.layers[name], name))

    def colour(self, r, g, b):
        self._set('colour', (r, g, b), '(Color %d,%d,%d,255)' % (r, g, b))

    def weight(self, w):
        self._set('weight', w, '(LineWeight %d)' % w)

    def pattern(self, name):
        self._set('pattern', name, '(LinePattern %s)' % name)

    def fill(self, on):
        self._set('fill', on, 'F' if on else 'f')

    def pen(self, w, pattern='Solid', rgb=(0, 0, 0)):
        self.colour(*rgb)
        self.weight(w)
        self.pattern(pattern)

    def set_font(self, height, rotation=0, bold=False):
        want = (height, angle(rotation), bold)
        if self.font == want:
            return
        opts = []
        if self.font is None:
            opts.append('(Name Arial)')
        if self.font is None or self.font[0] != height:
            opts.append('(Height %d)' % height)
        if self.font is None or self.font[1] != want[1]:
            opts.append('(Rotation %d)' % want[1])
        if self.font is None or self.font[2] != bold:
            opts.append('(Style %s)' % ('bold' if bold else 'regular'))
        self.font = want
        self.lines.append('(Font %s)' % ' '.join(opts))

    # -- primitives --
    def line(self, a, b):
        self.fill(False)
        self.lines.append('L %s %s' % (pt(a), pt(b)))

    def polyline(self, pts, closed=False):
        self.fill(False)
        pts = list(pts) + ([pts[0]] if closed else [])
        self.lines.append('P %d %s' % (len(pts), ' '.join(pt(p) for p in pts)))

    def polygon(self, pts, rgb=(0, 0, 0)):
        before = self.st.get('colour', (0, 0, 0))
        self.colour(*rgb)
        self.fill(True)
        self.lines.append('P %d %s' % (len(pts), ' '.join(pt(p) for p in pts)))
        self.fill(False)
        self.colour(*before)

    def circle(self, c, r, filled=False):
        self.fill(filled)
        self.lines.append('R %s %d' % (pt(c), r))
        self.fill(False)

    def arc(self, c, r, a0, a1):
        self.fill(False)
        self.lines.append('(Circle %s %d %d,%d)' % (pt(c), r, angle(a0), angle(a1)))

    def ellipse(self, c, rx, ry, a0=None, a1=None, tilt=0):
        self.fill(False)
        if a0 is None and not tilt:
            self.lines.append('E %s %d,%d' % (pt(c), rx, ry))
        else:
            a0, a1 = (0, 0) if a0 is None else (a0, a1)
            self.lines.append('(Ellipse %s %d,%d %d,%d %d)' % (pt(c), rx, ry, angle(a0), angle(a1), angle(tilt)))

    def text(self, x, y, s, h=350, align='l', rot=0, bold=False):
        self.set_font(h, rot, bold)
        w = text_width(s, h, bold)
        shift = {'l': 0, 'c': w / 2, 'r': w}[align]
        a = math.radians(rot)
        x -= shift * math.cos(a)
        y -= shift * math.sin(a)
        self.lines.append('(Text %s %s)' % (pt((x, y)), quoted(s)))

    def placeholder(self, x, y, key, suffix='', h=350):
        """A title-block field: one text opcode holding one placeholder, on a line of its own."""
        self.set_font(h, 0, False)
        self.lines.append("(Text %s '*%s*%s')" % (pt((x, y)), key, suffix))

    # -- composite --
    def hatch(self, ins, outs=(), spacing=220, deg=45):
        """Hatch lines over the region inside `ins` (even-odd) and outside every polygon of `outs`."""
        a = math.radians(deg)
        ca, sa = math.cos(a), math.sin(a)
        uv = lambda p: (p[0] * ca + p[1] * sa, -p[0] * sa + p[1] * ca)
        allpts = [uv(p) for q in ins for p in q]
        vmin, vmax = min(v for _, v in allpts), max(v for _, v in allpts)

        def cuts(polys, v):
            us = []
            for q in polys:
                qq = [uv(p) for p in q]
                for i in range(len(qq)):
                    (u1, v1), (u2, v2) = qq[i], qq[(i + 1) % len(qq)]
                    if (v1 <= v < v2) or (v2 <= v < v1):
                        us.append(u1 + (v - v1) * (u2 - u1) / (v2 - v1))
            us.sort()
            return [(us[i], us[i + 1]) for i in range(0, len(us) - 1, 2)]

        def subtract(spans, holes):
            for h0, h1 in holes:
                nxt = []
                for s0, s1 in spans:
                    if h1 <= s0 or h0 >= s1:
                        nxt.append((s0, s1))
                        continue
                    if h0 > s0:
                        nxt.append((s0, h0))
                    if h1 < s1:
                        nxt.append((h1, s1))
                spans = nxt
            return spans

        self.pen(13)
        k = math.ceil(vmin / spacing)
        while k * spacing < vmax:
            v = k * spacing
            for u0, u1 in subtract(cuts(ins, v), [s for q in outs for s in cuts([q], v)]):
                if u1 - u0 > 40:
                    self.line((u0 * ca - v * sa, u0 * sa + v * ca), (u1 * ca - v * sa, u1 * sa + v * ca))
            k += 1

    def outline(self, polys, keep=lambda a, b: True, w=50):
        """The edges of `polys`, each cut where it crosses another polygon of the set, keeping the
        pieces for which keep(start, end) holds (e.g. not inside a cavity)."""
        self.pen(w)
        runs = []
        for qi, q in enumerate(polys):
            for i in range(len(q)):
                p, r = q[i], q[(i + 1) % len(q)]
                ts = [0.0, 1.0]
                for qj, o in enumerate(polys):
                    if qj == qi:
                        continue
                    for j in range(len(o)):
                        t = _seg_cross(p, r, o[j], o[(j + 1) % len(o)])
                        if t is not None:
                            ts.append(t)
                ts.sort()
                for t0, t1 in zip(ts, ts[1:]):
                    if t1 - t0 < 1e-6:
                        continue
                    a = (p[0] + (r[0] - p[0]) * t0, p[1] + (r[1] - p[1]) * t0)
                    b = (p[0] + (r[0] - p[0]) * t1, p[1] + (r[1] - p[1]) * t1)
                    if keep(a, b):
                        if runs and _close(runs[-1][-1], a):
                            runs[-1].append(b)
                        else:
                            runs.append([a, b])
        for run in runs:
            if len(run) == 2:
                self.line(run[0], run[1])
            else:
                self.polyline(run)

    def section(self, ins, outs=(), deg=45, spacing=220, skip=lambda a, b: False, w=50):
        """A cut part: hatched, its visible edges drawn."""
        self.hatch(ins, outs, spacing, deg)
        mid = lambda a, b: ((a[0] + b[0]) / 2, (a[1] + b[1]) / 2)

        def keep(a, b):
            if skip(a, b):
                return False
            m = mid(a, b)
            on_in = any(_on_boundary(m, q) for q in ins)
            on_out = any(_on_boundary(m, q) for q in outs)
            if on_in:
                return not any(inside(m, q) for q in outs) or on_out
            return sum(inside(m, q) for q in ins) % 2 == 1
        self.outline(list(ins) + list(outs), keep, w)

    def arrow(self, tip, toward, length=320, half=65):
        dx, dy = toward[0] - tip[0], toward[1] - tip[1]
        n = math.hypot(dx, dy) or 1
        ux, uy = dx / n, dy / n
        base = (tip[0] + ux * length, tip[1] + uy * length)
        self.polygon([tip, (base[0] - uy * half, base[1] + ux * half), (base[0] + uy * half, base[1] - ux * half)],
                     self.st.get('colour', (0, 0, 0)))

    def dim_h(self, x1, x2, y, label, ext1=None, ext2=None, tx=None, h=350):
        """Horizontal dimension at height y; ext = y of the object points for extension lines."""
        self.pen(18)
        for x, e in ((x1, ext1), (x2, ext2)):
            if e is not None:
                self.line((x, e + (-120 if e > y else 120)), (x, y + (-200 if e > y else 200)))
        self.line((x1, y), (x2, y))
        self.arrow((x1, y), (x2, y))
        self.arrow((x2, y), (x1, y))
        self.text((x1 + x2) / 2 if tx is None else tx, y + 120, label, h, 'c')

    def dim_v(self, y1, y2, x, label, ext1=None, ext2=None, ty=None, h=350):
        """Vertical dimension at x; ext = x of the object points; the text reads upwards, left of it."""
        self.pen(18)
        for yy, e in ((y1, ext1), (y2, ext2)):
            if e is not None:
                self.line((e + (-120 if e > x else 120), yy), (x + (-200 if e > x else 200), yy))
        self.line((x, y1), (x, y2))
        self.arrow((x, y1), (x, y2))
        self.arrow((x, y2), (x, y1))
        self.text(x - 120, (y1 + y2) / 2 if ty is None else ty, label, h, 'c', rot=90)

    def centre_line(self, a, b):
        self.pen(13, 'ISO_Long_Dash_Dot', (0, 0, 0))
        self.line(a, b)
        self.pattern('Solid')

    def balloon(self, centre, number, target):
        self.pen(18)
        r = 330
        self.circle(centre, r)
        dx, dy = target[0] - centre[0], target[1] - centre[1]
        n = math.hypot(dx, dy)
        self.line((centre[0] + dx / n * r, centre[1] + dy / n * r), target)
        self.circle(target, 55, filled=True)
        self.text(centre[0], centre[1] - 125, str(number), 350, 'c')

    def table(self, x, y_top, columns, header, rows, row_h=480, head_h=560, h=260, head_fill=(228, 228, 228)):
        """A ruled table whose top left corner is (x, y_top); columns = widths; header = list of
        header rows (texts per column; None continues the cell to the left)."""
        total = sum(columns)
        edges = [x]
        for c in columns:
            edges.append(edges[-1] + c)
        y = y_top
        height = head_h * len(header) + row_h * len(rows)
        self.polygon(rect(x, y_top - head_h * len(header), x + total, y_top), head_fill)
        for hr in header:
            for i, cell in enumerate(hr):
                if cell is None:
                    continue
                span = 1
                while i + span < len(hr) and hr[i + span] is None:
                    span += 1
                self.text((edges[i] + edges[i + span]) / 2, y - head_h + 190, cell, h, 'c', bold=True)
            y -= head_h
        for r in rows:
            for i, cell in enumerate(r):
                self.text((edges[i] + edges[i + 1]) / 2, y - row_h + 150, cell, h, 'c')
            y -= row_h
        self.pen(35)
        self.polyline(rect(x, y_top - height, x + total, y_top), closed=True)
        self.pen(13)
        yy = y_top
        for k, hr in enumerate(header):
            yy -= head_h
            # a cell left empty below a header cell belongs to it: no rule between them
            nxt = header[k + 1] if k + 1 < len(header) else None
            x_from = x
            for i in range(len(columns) + 1):
                gap = i < len(columns) and nxt is not None and nxt[i] == ''
                if gap or i == len(columns):
                    if edges[i] > x_from:
                        self.line((x_from, yy), (edges[i], yy))
                    x_from = edges[i + 1] if i < len(columns) else x_from
        for _ in rows[:-1]:
            yy -= row_h
            self.line((x, yy), (x + total, yy))
        # vertical rules; a header cell spanning columns hides the rule in its row
        for i in range(1, len(columns)):
            top = y_top
            for hr in header:
                if hr[i] is None:
                    top -= head_h
                else:
                    break
            self.line((edges[i], top), (edges[i], y_top - height))
        return y_top - height

    def save(self, path):
        self.lines.append('(EndOfDWF)')
        data = '\n'.join(self.lines) + '\n'
        data.encode('ascii')
        with open(path, 'w', newline='\n') as f:
            f.write(data)
        return len(data)


def _close(a, b):
    return abs(a[0] - b[0]) < 0.5 and abs(a[1] - b[1]) < 0.5


def _on_boundary(p, poly, eps=0.5):
    for i in range(len(poly)):
        a, b = poly[i], poly[(i + 1) % len(poly)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        l2 = dx * dx + dy * dy
        if l2 == 0:
            continue
        t = ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2
        if 0 <= t <= 1:
            cx, cy = a[0] + t * dx, a[1] + t * dy
            if (p[0] - cx) ** 2 + (p[1] - cy) ** 2 < eps * eps:
                return True
    return False
