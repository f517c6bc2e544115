#!/usr/bin/python3
"""Writes reference_positions.csv: topocentric azimuth, elevation, distance and range rate of the
Moon and the Sun, computed with astropy, for the ephemeris tests to compare against.

Run with Debian's python3-astropy:  /usr/bin/python3 tests/astro/make_reference.py
The table is committed; the tests need only the CSV, not astropy.

- astropy's "builtin" solar-system ephemeris (no ephemeris files), apparent topocentric places
  (light time and aberration included), pressure 0: no refraction.
- No network: IERS auto-download is off. astropy then uses the Earth-orientation tables it ships;
  for dates beyond them it extrapolates UT1-UTC and warns of degraded accuracy (a few hundredths of
  a second of time, well below the 0.05 degree tolerance). The warnings are silenced.
- Rows: a fixed pseudo-random draw of times from 1990 to 2050 over a list of places in both
  hemispheres, east and west longitudes, polar latitudes and heights up to 4 km.
"""
import csv
import datetime
import os
import random
import warnings

import astropy.units as u
from astropy.coordinates import AltAz, EarthLocation, get_body, solar_system_ephemeris
from astropy.time import Time
from astropy.utils import iers

iers.conf.auto_download = False
iers.conf.auto_max_age = None
iers.conf.iers_degraded_accuracy = "warn"
warnings.simplefilter("ignore")
solar_system_ephemeris.set("builtin")

# (latitude, east longitude, height in m)
PLACES = [
    (45.0, 10.0, 100.0),
    (41.9, 12.5, 20.0),
    (51.48, -0.0, 45.0),
    (60.17, 24.94, 10.0),
    (78.22, 15.65, 10.0),  # Svalbard
    (69.65, 18.96, 50.0),
    (40.71, -74.0, 10.0),
    (19.82, -155.47, 4200.0),  # Mauna Kea
    (64.84, -147.72, 150.0),
    (-33.87, 151.21, 50.0),
    (-77.85, 166.67, 30.0),  # McMurdo
    (-34.6, -58.38, 25.0),
    (-23.02, -67.75, 4000.0),  # Chajnantor
    (-26.2, 28.05, 1750.0),
    (35.68, 139.69, 40.0),
    (-0.5, 100.0, 0.0),
    (0.0, 0.0, 0.0),
    (89.5, -30.0, 2800.0),
    (-89.9, 0.0, 2835.0),  # South Pole
    (12.97, 77.59, 920.0),
    (-45.87, 170.5, 100.0),
    (55.75, 37.62, 150.0),
    (37.23, -118.28, 1200.0),
    (-12.05, -77.04, 150.0),
    (47.37, 8.54, -5.0),
]


def topocentric(body, time, loc):
    frame = AltAz(obstime=time, location=loc, pressure=0 * u.hPa)
    return get_body(body, time, loc).transform_to(frame)


def main():
    rng = random.Random(20240601)
    start = datetime.datetime(1990, 1, 1)
    span = (datetime.datetime(2050, 12, 31) - start).total_seconds()
    rows = []
    for i in range(52):
        body = "Moon" if i % 2 == 0 else "Sun"
        lat, lon, height = PLACES[i % len(PLACES)]
        when = start + datetime.timedelta(seconds=int(rng.uniform(0, span)))
        utc = when.strftime("%Y-%m-%dT%H:%M:%S")
        loc = EarthLocation.from_geodetic(lon=lon * u.deg, lat=lat * u.deg, height=height * u.m)
        t = Time(utc, scale="utc")
        here = topocentric(body.lower(), t, loc)
        before = topocentric(body.lower(), t - 0.5 * u.s, loc).distance.km
        after = topocentric(body.lower(), t + 0.5 * u.s, loc).distance.km
        rows.append([body, utc, lat, lon, height, f"{here.az.deg:.6f}", f"{here.alt.deg:.6f}",
                     f"{here.distance.km:.3f}", f"{after - before:.6f}"])
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "reference_positions.csv")
    with open(out, "w", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["body", "utc", "latitude_deg", "longitude_deg", "height_m", "azimuth_deg",
                    "elevation_deg", "distance_km", "range_rate_km_s"])
        w.writerows(rows)


if __name__ == "__main__":
    main()
