#!/usr/bin/env python3
# Imports files that other programs write: calendars made with python3-icalendar and calcurse's
# --export, contacts made with python3-vobject (vCard 3.0 and 4.0), and reads every field back
# from the data files. Runs with TZ=Europe/Berlin. A writer that is not installed is skipped
# with a message (exit 77 when the rest passed).
#
# Usage: import_roundtrip.py PATH-TO-tallowby-import
import datetime as dt
import os
import shutil
import struct
import subprocess
import sys
import tempfile

TOOL = sys.argv[1]
failures, skipped = [], []
try:
    import icalendar
    import pytz
    import vobject
except ImportError as e:
    print("SKIP:", e)
    sys.exit(77)


def records(folder, name, length, block, fields):
    data = open(os.path.join(folder, name), "rb").read()
    rec = lambda n: data[(n - 1) * length:n * length]
    text = lambda r: r[2:2 + struct.unpack("<H", r[:2])[0]].decode("cp1252")
    count = struct.unpack("<h", rec(block)[2:4])[0]
    return [[struct.unpack("<h", rec(i * block + k)[:2])[0] if (name, k) == ("Appoint.dat", 5)
             else text(rec(i * block + k)) for k in range(1, fields + 1)] for i in range(count)]


def run_import(kind, path, folder):
    r = subprocess.run([TOOL, kind, path, folder, "--from", "2024-01-01", "--to", "2024-12-31"],
                       capture_output=True, text=True)
    if r.returncode != 0:
        failures.append(f"{kind} {path}: {r.returncode} {r.stderr}")
    return r.stdout


def compare(what, got, want):
    for i, (g, w) in enumerate(zip(got, want)):
        if g != w:
            failures.append(f"{what} {i}: {g!r}, expected {w!r}")
    if len(got) != len(want):
        failures.append(f"{what}: {len(got)} entries, expected {len(want)}")


tmp = tempfile.mkdtemp()
cal = icalendar.Calendar()
cal.add("prodid", "-//test//EN")
cal.add("version", "2.0")
# Zones as pytz gives them: this python3-icalendar names a zoneinfo zone by its abbreviation.
ny, long_text = pytz.timezone("America/New_York"), "Agenda: one, two; three \\ four\n" + "x" * 80
for summary, start, end, rule, alarm in [
        ("New York", ny.localize(dt.datetime(2024, 7, 4, 9, 0)), dt.timedelta(hours=1), None, 15),
        ("UTC call", dt.datetime(2024, 1, 5, 23, 30, tzinfo=dt.timezone.utc),
         dt.timedelta(minutes=30), None, None),
        ("Holiday", dt.date(2024, 8, 1), dt.timedelta(days=2), None, None),
        ("Daily", dt.datetime(2024, 3, 30, 8, 0), dt.timedelta(minutes=15), {"freq": "daily", "count": 3}, None),
        ("Gym", ny.localize(dt.datetime(2024, 2, 5, 18, 0)), dt.timedelta(hours=1),
         {"freq": "weekly", "byday": ["MO", "WE", "FR"], "until": dt.datetime(2024, 2, 9, 23, 0, tzinfo=dt.timezone.utc)}, None),
        ("Rent", dt.datetime(2024, 10, 31, 9, 0), dt.timedelta(minutes=30), {"freq": "monthly", "bymonthday": -1, "count": 3}, None),
        ("Anniversary", dt.date(2020, 6, 15), dt.timedelta(days=1), {"freq": "yearly"}, None)]:
    e = icalendar.Event()
    e.add("uid", summary)
    e.add("summary", summary)
    e.add("dtstart", start)
    e.add("dtend", start + end)
    if summary == "New York":
        e.add("description", long_text)
    if rule:
        e.add("rrule", rule)
    if alarm:
        a = icalendar.Alarm()
        a.add("action", "DISPLAY")
        a.add("trigger", dt.timedelta(minutes=-alarm))
        e.add_component(a)
    cal.add_component(e)
open(os.path.join(tmp, "python.ics"), "wb").write(cal.to_ical())
folder = os.path.join(tmp, "ical")
os.mkdir(folder)
run_import("ical", os.path.join(tmp, "python.ics"), folder)
cut = ("Agenda: one, two; three \\ four\r\n" + "x" * 80)[:100]
compare("python3-icalendar", records(folder, "Appoint.dat", 128, 8, 7), [
    ["20240704-1", "New York", "15:00", "16:00", -1, "15", cut],
    ["20240106-1", "UTC call", "00:30", "01:00", 0, "15", ""],
    ["20240801-1", "Holiday", "00:00", "24:00", 0, "15", ""],
    ["20240802-1", "Holiday", "00:00", "24:00", 0, "15", ""],
    ["20240330-1", "Daily", "08:00", "08:15", 0, "15", ""],  # the change to summer time
    ["20240331-1", "Daily", "08:00", "08:15", 0, "15", ""],  # keeps the local time
    ["20240401-1", "Daily", "08:00", "08:15", 0, "15", ""],
    ["20240206-1", "Gym", "00:00", "01:00", 0, "15", ""],  # New York 18:00 is Berlin's midnight
    ["20240208-1", "Gym", "00:00", "01:00", 0, "15", ""],
    ["20240210-1", "Gym", "00:00", "01:00", 0, "15", ""],
    ["20241031-1", "Rent", "09:00", "09:30", 0, "15", ""],
    ["20241130-1", "Rent", "09:00", "09:30", 0, "15", ""],
    ["20241231-1", "Rent", "09:00", "09:30", 0, "15", ""],
    ["20240615-1", "Anniversary", "00:00", "24:00", 0, "15", ""]])

cards = []
for version in ("3.0", "4.0"):
    c = vobject.vCard()
    c.add("version").value = version
    c.add("n").value = vobject.vcard.Name(family="Müller", given="Zoë " + version)
    c.add("fn").value = "Zoë Müller"
    c.add("adr").value = vobject.vcard.Address(street="1 Long Road", city="Town", code="12345")
    for number, kind in (("111", "HOME"), ("222", "WORK"), ("333", "CELL"), ("444", "FAX")):
        t = c.add("tel")
        t.value, t.type_param = number, kind
    c.add("bday").value = "1970-03-05"
    c.add("email").value = "zoe@example.com"
    c.add("note").value = "Met at the fair, 2019; call back\nafter May"
    cards.append(c.serialize())
open(os.path.join(tmp, "python.vcf"), "w").write("".join(cards))
run_import("vcard", os.path.join(tmp, "python.vcf"), folder)
compare("python3-vobject", records(folder, "AddBook.dat", 128, 16, 15), [
    [f"Müller, Zoë {v}", f"Zoë {v}", "Müller", "1 Long Road\r\n12345 Town", "111", "222", "",
     "333", "444", "", "05/03/1970", "1", "zoe@example.com", "",
     "Met at the fair, 2019; call back\r\nafter May"] for v in ("3.0", "4.0")])
again = run_import("vcard", os.path.join(tmp, "python.vcf"), folder)
if not again.startswith("Imported 0 address entries; 2 skipped"):
    failures.append(f"a second import: {again}")

if shutil.which("calcurse"):
    home = os.path.join(tmp, "calcurse")
    os.mkdir(home)
    open(os.path.join(home, "apts"), "w").write(
        "03/05/2024 @ 09:30 -> 03/05/2024 @ 10:45 |Dentist, \"Dr. X\"; room 3\n"
        "03/06/2024 [1] Holiday\n"
        "03/07/2024 @ 14:00 -> 03/07/2024 @ 15:00 {1W -> 03/14/2024} |Weekly\n")
    ics = subprocess.run(["calcurse", "-D", home, "--export"], capture_output=True,
                         env=dict(os.environ, HOME=tmp)).stdout
    open(os.path.join(tmp, "calcurse.ics"), "wb").write(ics)
    folder = os.path.join(tmp, "calcurse-folder")
    os.mkdir(folder)
    run_import("ical", os.path.join(tmp, "calcurse.ics"), folder)
    compare("calcurse", sorted(records(folder, "Appoint.dat", 128, 8, 7)), [
        ["20240305-1", "Dentist, \"Dr. X\"; room 3", "09:30", "10:45", 0, "15", ""],
        ["20240306-1", "Holiday", "00:00", "24:00", 0, "15", ""],
        ["20240307-1", "Weekly", "14:00", "15:00", 0, "15", ""],
        ["20240314-1", "Weekly", "14:00", "15:00", 0, "15", ""]])
else:
    skipped.append("calcurse")

for f in failures:
    print("FAIL:", f)
print(f"{0 if failures else 1} passed, {len(failures)} failed" + (f"; skipped: {skipped}" if skipped else ""))
sys.exit(1 if failures else 77 if skipped else 0)
