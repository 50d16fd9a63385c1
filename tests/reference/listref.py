#!/usr/bin/env python3
# SPDX-License-Identifier: MIT

"""Independent reference for the sample list, used to make the files in tests/data.

Written separately from the C++ code: Python floats are IEEE doubles with each operation
rounded on its own, struct's 'f' format rounds to single precision, and '%' formatting
rounds the exact binary value (ties to even).

    listref.py EQ X0 Y0 Z0 XF N LAM > file
"""
import math
import struct
import sys

H = 0.01
H2 = H / 2


def single(v):
    return struct.unpack('f', struct.pack('f', v))[0]


def g(eq, n, lam, x, y, z, first):
    if eq == 1:
        return -y
    if eq == 2:
        return (-2 * y) + math.sin(x)
    if eq == 3:
        p = single(-6 * z) if first else -6 * z
        return p - 5 * y
    if eq == 4:
        return ((1 - y * y) * z) - y
    if eq == 5:
        return ((-2 * z) / x) - math.pow(y, n)
    if eq == 6:
        return ((-1 / math.pow(y, 2)) + lam * y) / 3
    return 0.0


def general(v):
    if v == 0:
        return '0'
    t = '%.14e' % v
    mant, exp = t.split('e')
    d = int(exp)
    neg = mant.startswith('-')
    digits = mant.lstrip('-').replace('.', '').rstrip('0') or '0'
    sign = '-' if neg else ''
    if d < -5 or d >= 15:
        m = digits[0] + ('.' + digits[1:] if len(digits) > 1 else '')
        return '%s%sE%s%02d' % (sign, m, '-' if d < 0 else '+', abs(d))
    if d >= 0:
        whole = digits[:d + 1].ljust(d + 1, '0')
        frac = digits[d + 1:]
        return sign + whole + ('.' + frac if frac else '')
    return sign + '0.' + '0' * (-d - 1) + digits


def picture(v):
    t = '%.4f' % abs(v)
    if t.startswith('0.'):
        t = t[1:]
    if v < 0 and t.strip('.0') != '':
        t = '-' + t
    return t


def run(eq, x0, y0, z0, xf, n, lam):
    y = y0
    z = single(z0)
    nsteps = (xf - x0) / H
    i = 0
    while i <= nsteps:
        x = H * i + x0
        k1 = z
        l1 = g(eq, n, lam, x, y, z, True)
        yield x, y
        k2 = z + H2 * l1
        l2 = g(eq, n, lam, x + H2, y + H2 * k1, z + H2 * l1, False)
        k3 = z + H2 * l2
        l3 = g(eq, n, lam, x + H2, y + H2 * k2, z + H2 * l2, False)
        k4 = z + H * l3
        l4 = g(eq, n, lam, x + H, y + H * k3, z + H * l3, False)
        y = y + (H * ((k1 + k4) + 2 * (k2 + k3))) / 6
        z = single(z + (H * ((l1 + l4) + 2 * (l2 + l3))) / 6)
        if eq == 5 and y <= 0:
            return
        i += 1


if __name__ == '__main__':
    eq = int(sys.argv[1])
    x0, y0, z0, xf, n, lam = map(float, sys.argv[2:8])
    try:
        for x, y in run(eq, x0, y0, z0, xf, n, lam):
            print(general(x) + '   ' + picture(y))
    except (ValueError, ZeroDivisionError, OverflowError) as e:
        sys.exit('failed: %s' % e)
