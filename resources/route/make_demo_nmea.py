#!/usr/bin/env python3
"""Writes demo.nmea: a closed ride of about 2 km through the streets west of
the West Lake in Hangzhou, one fix a second, as RMC + GGA sentence pairs.

The phone build gets real fixes from the platform; this route stands in for
them on machines without a GPS so that location updates, and the status poll
they drive, keep coming. Run it again after changing the route:
    python3 resources/route/make_demo_nmea.py > resources/route/demo.nmea
"""
import math
import sys
from datetime import datetime, timedelta, timezone

START = (30.2741, 120.1551)
# Corners of the loop as (north, east) offsets in metres from START.
CORNERS = [(0, 0), (20, 320), (10, 640), (260, 660), (430, 610), (440, 300), (420, 20), (0, 0)]
EARTH = 6378137.0


def to_degrees(north, east):
    lat = START[0] + math.degrees(north / EARTH)
    lng = START[1] + math.degrees(east / (EARTH * math.cos(math.radians(START[0]))))
    return lat, lng


def ride():
    """Yields (lat, lng, speed m/s, course degrees), one per second."""
    step = 0
    for (n0, e0), (n1, e1) in zip(CORNERS, CORNERS[1:]):
        length = math.hypot(n1 - n0, e1 - e0)
        course = (math.degrees(math.atan2(e1 - e0, n1 - n0)) + 360) % 360
        done = 0.0
        while done < length:
            speed = 4.5 + 1.5 * math.sin(step / 23.0)  # 3..6 m/s, an e-scooter in town
            f = done / length
            yield (*to_degrees(n0 + f * (n1 - n0), e0 + f * (e1 - e0)), speed, course)
            done += speed
            step += 1


def checksum(body):
    value = 0
    for ch in body.encode("ascii"):
        value ^= ch
    return "%02X" % value


def sentence(body):
    return "$%s*%s" % (body, checksum(body))


def nmea_angle(value, degree_digits):
    degrees = int(abs(value))
    minutes = (abs(value) - degrees) * 60
    return "%0*d%07.4f" % (degree_digits, degrees, minutes)


def main():
    when = datetime(2026, 3, 5, 6, 0, 0, tzinfo=timezone.utc)
    out = sys.stdout
    for i, (lat, lng, speed, course) in enumerate(ride()):
        hms = when.strftime("%H%M%S") + ".00"
        lat_text, lng_text = nmea_angle(lat, 2), nmea_angle(lng, 3)
        knots = speed / 0.514444
        hdop = 0.9 + 0.5 * (1 + math.sin(i / 7.0)) / 2
        out.write(sentence("GPRMC,%s,A,%s,N,%s,E,%.2f,%.1f,%s,,,A"
                           % (hms, lat_text, lng_text, knots, course, when.strftime("%d%m%y"))) + "\r\n")
        out.write(sentence("GPGGA,%s,%s,N,%s,E,1,09,%.1f,12.0,M,7.0,M,,"
                           % (hms, lat_text, lng_text, hdop)) + "\r\n")
        when += timedelta(seconds=1)


if __name__ == "__main__":
    main()
