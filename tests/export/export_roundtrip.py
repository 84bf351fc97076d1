#!/usr/bin/env python3
"""Round trip of tallowby-export through independent readers.

Builds a data folder with awkward texts (commas, semicolons, backslashes, line breaks,
non-ASCII characters, long lines, invalid times), runs the tool on it, and reads the exports
back with python3-icalendar and python3-vobject, imports the calendar into calcurse and looks
for the appointments on their days, and checks the note files. Exits 77 (skipped) when one of
the readers is not installed.

Usage: export_roundtrip.py PATH-TO-tallowby-export
"""
import datetime
import os
import shutil
import struct
import subprocess
import sys
import tempfile

SKIP = 77

try:
    import icalendar
    import vobject
except ImportError as e:
    print(f"SKIP: {e.name} is not installed (apt-get install python3-icalendar python3-vobject)")
    sys.exit(SKIP)
if shutil.which("calcurse") is None:
    print("SKIP: calcurse is not installed (apt-get install calcurse)")
    sys.exit(SKIP)

TOOL = sys.argv[1]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


# --- Writing data files the way the program stores them -----------------------------------

def string_field(text):
    data = text.encode("cp1252")
    return struct.pack("<H", len(data)) + data


def flag_field(yes):
    return struct.pack("<h", -1 if yes else 0)


def count_field(n):
    return struct.pack("<Hh", 2, n)


def write_store(path, record_length, block, entries):
    """entries: list of lists of encoded fields (field 1 first)."""
    records = {block: count_field(len(entries))}
    for i, fields in enumerate(entries):
        for k, value in enumerate(fields, start=1):
            records[i * block + k] = value
    last = max(records)
    out = bytearray(record_length * last)
    for number, value in records.items():
        assert len(value) <= record_length
        start = (number - 1) * record_length
        out[start:start + len(value)] = value
    with open(path, "wb") as f:
        f.write(bytes(out))


LONG_DESC = ("First line\r\nSecond line; with, commas and a back\\slash, "
             "long enough to be folded: Zoë, Ærø, €uro, «quotes»")
APPOINTMENTS = [
    # id, subject, start, end, reminder, minutes, description
    ("20240105-1", 'Lunch, "Café"; with Zoë \\ Co', "09:30", "10:45", True, "15", LONG_DESC),
    ("20240105-2", "Late call", "23:30", "24:00", False, "15", ""),
    ("20240106-1", "Typed time", "9:3", "10:00", True, "15", "starts at nine-ish"),
    ("20240107-1", "Open end", "10:00", "later", True, "abc", ""),
    ("20240108-1", "Half minute", "08:00", "08:30", True, "1.5", ""),
]


def appointment_fields(a):
    id_, subject, start, end, reminder, minutes, description = a
    return [string_field(id_), string_field(subject), string_field(start), string_field(end),
            flag_field(reminder), string_field(minutes), string_field(description)]


ADDRESSES = [
    # name, surname, address, home, bus1, bus2, mobile, fax, other, birthday, has, email, web, notes
    ("Jürgen", "Müller", "Hauptstr. 1\r\n12345 Köln; DE", "0221 1234", "0221 555-1",
     "0221 555-2", "0170 98765", "0221 555-9", "+49 (0)221 7", "05/03/1970", "1",
     "jm@example.com", "www.example.com", "Likes: tea, cake; \\ not coffee\r\nSecond line"),
    ("", "O'Brien", "", "", "", "", "", "", "", "14/07/2000", "0", "", "", ""),
    ("Leap", "Day", "", "", "", "", "", "", "", "29/02/1980", "1", "", "not a web page", ""),
]


def address_fields(e):
    name, surname = e[0], e[1]
    display = f"{surname}, {name}"
    return [string_field(display)] + [string_field(v) for v in e]


NOTES = [
    ("Shopping/List", "Milk\r\nBread; butter, jam\r\n€ 5"),
    ("", "no name"),
    ("CON", "device name"),
    ("a", "lower"),
    ("A", "upper"),
    ("..Ümlaut €  ", "dots and blanks"),
]


def build_folder(folder):
    write_store(os.path.join(folder, "Appoint.dat"), 128, 8,
                [appointment_fields(a) for a in APPOINTMENTS])
    write_store(os.path.join(folder, "AddBook.dat"), 128, 16,
                [address_fields(e) for e in ADDRESSES])
    write_store(os.path.join(folder, "Notes.dat"), 500, 3,
                [[string_field(n), string_field(t)] for n, t in NOTES])
    write_store(os.path.join(folder, "MyDesk.dat"), 128, 4, [])


def run(*args):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, encoding="utf-8")


# --- Checks -------------------------------------------------------------------------------

def check_content_lines(data, what):
    check(data.endswith(b"\r\n"), f"{what}: ends with CR LF")
    lines = data.split(b"\r\n")[:-1]
    for line in lines:
        check(len(line) <= 75, f"{what}: line of {len(line)} octets: {line[:40]!r}")
        check(b"\n" not in line and b"\r" not in line, f"{what}: bare line break in {line!r}")
        line.decode("utf-8")  # raises on invalid UTF-8


def check_ical(path):
    data = open(path, "rb").read()
    check_content_lines(data, "ical")
    cal = icalendar.Calendar.from_ical(data)
    events = [c for c in cal.walk("VEVENT")]
    by_summary = {str(e["SUMMARY"]): e for e in events}
    uids = [str(e["UID"]) for e in events]
    check(len(set(uids)) == len(uids), "ical: UIDs are unique")

    lunch = by_summary.get(APPOINTMENTS[0][1])
    check(lunch is not None, f"ical: summary with awkward text survives: {list(by_summary)}")
    if lunch is not None:
        check(str(lunch["DESCRIPTION"]) == LONG_DESC.replace("\r\n", "\n"),
              f"ical: description survives: {str(lunch['DESCRIPTION'])!r}")
        check(lunch["DTSTART"].dt == datetime.datetime(2024, 1, 5, 9, 30), "ical: start")
        check(lunch["DTSTART"].dt.tzinfo is None, "ical: start is floating")
        check(lunch["DTEND"].dt == datetime.datetime(2024, 1, 5, 10, 45), "ical: end")
        alarms = [c for c in lunch.walk("VALARM")]
        check(len(alarms) == 1 and alarms[0]["TRIGGER"].dt == datetime.timedelta(minutes=-15),
              "ical: alarm 15 minutes before")
    late = by_summary.get("Late call")
    check(late is not None and late["DTEND"].dt == datetime.datetime(2024, 1, 6, 0, 0),
          "ical: end 24:00 is midnight of the next day")
    check(late is not None and not list(late.walk("VALARM")), "ical: no alarm when off")
    typed = by_summary.get("Typed time")
    check(typed is not None and typed["DTSTART"].dt == datetime.date(2024, 1, 6),
          "ical: invalid start time gives an all-day event")
    open_end = by_summary.get("Open end")
    check(open_end is not None and "DTEND" not in open_end and not list(open_end.walk("VALARM")),
          "ical: invalid end time and minutes leave out the end and the alarm")
    half = by_summary.get("Half minute")
    check(half is not None and list(half.walk("VALARM"))[0]["TRIGGER"].dt
          == datetime.timedelta(seconds=-90), "ical: fractional minutes")
    bday = by_summary.get("Birthday - Müller, Jürgen")
    check(bday is not None and bday["DTSTART"].dt == datetime.date(1970, 3, 5)
          and bday["RRULE"]["FREQ"] == ["YEARLY"], "ical: birthday is a yearly all-day event")
    check("Birthday - O'Brien, " not in by_summary, "ical: no birthday when HasBirthday is 0")

    # The same data gives the same UIDs.
    again = os.path.join(os.path.dirname(path), "again.ics")
    run("ical", os.path.dirname(path) + "/data", "-o", again)
    cal2 = icalendar.Calendar.from_ical(open(again, "rb").read())
    check(sorted(str(e["UID"]) for e in cal2.walk("VEVENT")) == sorted(uids), "ical: stable UIDs")


def check_vcard(path):
    data = open(path, "rb").read()
    check_content_lines(data, "vcard")
    cards = list(vobject.readComponents(data.decode("utf-8")))
    check(len(cards) == len(ADDRESSES), f"vcard: {len(cards)} cards")
    m = cards[0]
    check(m.version.value == "4.0", "vcard: version 4.0")
    check(m.n.value.family == "Müller" and m.n.value.given == "Jürgen", "vcard: N parts")
    check(m.fn.value == "Jürgen Müller", f"vcard: FN {m.fn.value!r}")
    check(m.adr.value.street == "Hauptstr. 1\n12345 Köln; DE", f"vcard: ADR {m.adr.value.street!r}")
    tels = {}
    for tel in m.contents["tel"]:
        types = [t.lower() for v in tel.params.get("TYPE", []) for t in v.split(",")]
        tels[tel.value] = sorted(types)
    expected = {"0221 1234": ["home", "voice"], "0221 555-1": ["voice", "work"],
                "0221 555-2": ["voice", "work"], "0170 98765": ["cell"],
                "0221 555-9": ["fax"], "+49 (0)221 7": ["voice"]}
    check(tels == expected, f"vcard: phone numbers and types {tels}")
    check(m.bday.value == "19700305", "vcard: BDAY")
    check(m.email.value == "jm@example.com", "vcard: EMAIL")
    check(m.url.value == "https://www.example.com", f"vcard: URL {m.url.value!r}")
    check(m.note.value == "Likes: tea, cake; \\ not coffee\nSecond line",
          f"vcard: NOTE {m.note.value!r}")
    o = cards[1]
    check(o.n.value.family == "O'Brien" and o.n.value.given == "", "vcard: empty first name")
    check("bday" not in o.contents, "vcard: no BDAY when HasBirthday is 0")
    leap = cards[2]
    check("url" not in leap.contents and "not a web page" in leap.note.value,
          "vcard: a home page that is no address goes into the note")


def check_calcurse(ics, tmp):
    home = os.path.join(tmp, "calcurse")
    os.makedirs(home)
    env = dict(os.environ, HOME=tmp)
    imp = subprocess.run(["calcurse", "-D", home, "-i", ics], capture_output=True, text=True,
                         env=env)
    check(imp.returncode == 0, f"calcurse import: {imp.stdout} {imp.stderr}")
    q = subprocess.run(["calcurse", "-D", home, "-Q", "--filter-type", "cal",
                        "--from", "01/05/2024", "--days", "4"],
                       capture_output=True, text=True, env=env)
    out = q.stdout
    print(out)
    day5 = out.split("01/06/24")[0] if "01/06/24" in out else out
    check("09:30 -> 10:45" in day5 and "Lunch" in day5, "calcurse: lunch on 5 January")
    check("23:30 ->" in day5 and "Late call" in day5, "calcurse: late call on 5 January")
    check("Typed time" in out and "Open end" in out, "calcurse: all the appointments listed")
    b = subprocess.run(["calcurse", "-D", home, "-Q", "--from", "03/05/2025", "--days", "1"],
                       capture_output=True, text=True, env=env)
    check("Birthday - Müller, Jürgen" in b.stdout, f"calcurse: yearly birthday: {b.stdout}")


def check_notes(folder, outdir):
    r = run("notes", folder, outdir)
    check(r.returncode == 0, f"notes: exit {r.returncode} {r.stderr}")
    names = sorted(os.listdir(outdir))
    expected = sorted(["Shopping_List.txt", "Unnamed note.txt", "CON_.txt", "a.txt",
                       "A (2).txt", "Ümlaut €.txt"])
    check(names == expected, f"notes: file names {names}")
    text = open(os.path.join(outdir, "Shopping_List.txt"), encoding="utf-8").read()
    check(text == "Milk\nBread; butter, jam\n€ 5", f"notes: text {text!r}")


def check_check(folder):
    r = run("check", folder)
    # The fixture's only problems are the texts the exports cannot carry: warnings, exit 0.
    check(r.returncode == 0, f"check: exit {r.returncode}: {r.stdout}")
    check("warning:" in r.stdout and "error:" not in r.stdout, f"check: {r.stdout}")


def main():
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "data")
        os.makedirs(folder)
        build_folder(folder)
        before = {n: open(os.path.join(folder, n), "rb").read() for n in os.listdir(folder)}
        ics = os.path.join(tmp, "calendar.ics")
        r = run("ical", folder, "-o", ics)
        check(r.returncode == 0, f"ical: exit {r.returncode} {r.stderr}")
        check('"9:3" is not hh:mm' in r.stderr, f"ical: invalid time reported: {r.stderr}")
        vcf = os.path.join(tmp, "contacts.vcf")
        r = run("vcard", folder, "-o", vcf)
        check(r.returncode == 0, f"vcard: exit {r.returncode} {r.stderr}")
        check_ical(ics)
        check_vcard(vcf)
        check_calcurse(ics, tmp)
        check_notes(folder, os.path.join(tmp, "notes"))
        check_check(folder)
        after = {n: open(os.path.join(folder, n), "rb").read() for n in os.listdir(folder)}
        check(before == after, "the data folder is left unchanged")
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    print("All export round-trip checks passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
