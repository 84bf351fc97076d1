#!/usr/bin/env python3
# Round trip of tallowby-export through independent readers.
#
# Builds a data folder with hard but legal data (commas, semicolons, backslashes, CR LF,
# Windows-1252 characters, 100-character texts, 24:00, 1601 and 9999, 29 February, every
# reminder form), exports it and reads every field back with python3-icalendar, python3-vobject,
# libical (gir1.2-ical-3.0), Evolution's contact parser (gir1.2-ebookcontacts-1.2), calcurse and
# khal. A reader that is not installed is skipped with a message (exit 77 when the rest passed).
#
# Usage: export_roundtrip.py PATH-TO-tallowby-export
import datetime as dt
import importlib
import os
import re
import shutil
import stat
import struct
import subprocess
import sys
import tempfile

TOOL = sys.argv[1]
failures, skipped = [], []


def load(name, package, gi_version=None):
    try:
        if gi_version:
            importlib.import_module("gi").require_version(name, gi_version)
        return importlib.import_module(("gi.repository." if gi_version else "") + name)
    except (ImportError, ValueError):
        skipped.append(package)


icalendar, vobject = load("icalendar", "python3-icalendar"), load("vobject", "python3-vobject")
ICal = load("ICalGLib", "gir1.2-ical-3.0", "3.0")
EBook = load("EBookContacts", "gir1.2-ebookcontacts-1.2", "1.2")


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def compare(what, read, want, *args):
    try:
        got = read(*args)
    except Exception as e:  # the reader cannot take the file at all
        got = {}
        check(False, f"{what} cannot read the export: {e!r}")
    for key in sorted(set(got) | set(want), key=str):
        check(got.get(key) == want.get(key), f"{what}: {key}: {got.get(key)!r}, expected "
                                             f"{want.get(key)!r}")


def run(*args, env=None, tool=TOOL):
    return subprocess.run([tool, *args], capture_output=True, text=True, env=env)


# --- The data, written the way the program stores it -----------------------------------------

def write_store(path, record_length, block, entries):
    def record(v):  # a String record, or raw bytes
        return v if isinstance(v, bytes) else struct.pack("<H", len(v.encode("cp1252"))) + \
            v.encode("cp1252")
    records = {block: struct.pack("<Hh", 2, len(entries))}
    records |= {i * block + k: record(v) for i, e in enumerate(entries) for k, v in enumerate(e, 1)}
    out = bytearray(record_length * max(records))
    for number, value in records.items():
        out[(number - 1) * record_length:(number - 1) * record_length + len(value)] = value
    open(path, "wb").write(bytes(out))


# 100 characters each; folded lines cut inside the three-octet characters.
SUBJECT = ('Lunch, "Café"; Zoë \\ Co — „Tee“ ™ € ' * 2)[:70] + "€„—™" * 7 + "—€"
LONG_DESC = ("First line\r\nSecond; with, commas — a back\\slash „€“ ™ " * 2)[:100]
# id, subject, start, end, reminder on, minutes, description; then what a calendar shows (the
# title is the subject, "(no subject)" for none): start, length in minutes (None: no end), alarm
# in seconds before the start (None: no alarm).
APPOINTMENTS = [
    ("20240105-1", SUBJECT, "09:30", "10:45", True, "15", LONG_DESC, "20240105T0930", 75, 900),
    ("20240105-2", "Late call", "23:30", "24:00", False, "15", "", "20240105T2330", 30, None),
    ("20240105-3", "", "12:00", "13:00", True, "0", "", "20240105T1200", 60, 0),
    ("20240105-4", "Same start", "09:30", "10:00", True, "-5", "a,b;c", "20240105T0930", 30, -300),
    ("20240106-1", "Typed time", "9:3", "10:00", True, "15", "nine-ish", "20240106", 1440, None),
    ("20240107-1", "Open end", "10:00", "later", True, "abc", "", "20240107T1000", None, None),
    ("20240108-1", "Half minute", "08:00", "08:30", True, "1.5", "", "20240108T0800", 30, 90),
    ("20240229-1", "Leap day", "10:00", "11:00", True, "90", "", "20240229T1000", 60, 5400),
    ("16010101-1", "Year 1601", "00:00", "24:00", False, "", "", "16010101T0000", 1440, None),
    ("99991231-1", "End of time", "23:30", "24:00", True, "15", "", "99991231T2330", 30, 900),
    ("99991231-2", "Last day", "all day", "", False, "", "", "99991231", 1440, None),
]
# name, surname, address, home, business 1 and 2, mobile, fax, other, birthday, has birthday,
# e-mail, home page, notes; then the URL written for the home page (None: it goes into the note).
ADDRESSES = [
    ("Jürgen; Jr", "Müller", "Hauptstr. 1\r\n12345 Köln; DE", "0221 1234;5", "0221 555-1",
     "0221 555-2", "0170 98765", "0221 555-9", "+49 (0)221 7, ext 2", "05/03/1970", "1",
     "jm@example.com", "www.example.com:8080/a;b",
     ("Tea, cake; \\ no coffee\r\n„€“ — ™ " * 4)[:99] + ".", "https://www.example.com:8080/a;b"),
    ("", "O'Brien", "", "", "", "", "", "", "", "14/07/2000", "0", "", "", "", None),
    ("Leap", "Day", "", "", "", "", "", "", "", "29/02/1980", "1", "", "not a web page", "", None),
    ("Ever", "Last", "", "", "", "", "", "", "", "31/12/9999", "1", "", "", "", None),
    ("Timer", "Old", "", "", "", "", "", "", "", "01/01/1601", "1", "", "", "", None),
    ("Bad", "Date", "", "", "", "", "", "", "", "31/02/1970", "1", "", "", "", None),
]
TEL_TYPES = ["home,voice", "work,voice", "work,voice", "cell", "fax", "voice"]


def build_folder(folder, appointments):
    for name, record_length, block, entries in (
            ("Appoint.dat", 128, 8, [(*a[:4], struct.pack("<h", -a[4]), *a[5:7])
                                     for a in appointments]),
            ("AddBook.dat", 128, 16, [(f"{e[1]}, {e[0]}", *e[:14]) for e in ADDRESSES]),
            ("Notes.dat", 500, 3, [("Shopping/List", "Milk\r\nBread; jam\r\n€ 5"),
                                   ("nul.txt", "device")]),
            ("MyDesk.dat", 128, 4, [])):
        write_store(os.path.join(folder, name), record_length, block, entries)


# --- The calendar --------------------------------------------------------------------------

# title -> (start, minutes, description, alarm seconds, rule, stored subject)
def expected_events():
    out = {}
    for a in APPOINTMENTS:
        desc = a[6].replace("\r\n", "\n")
        if not re.fullmatch(r"\d\d:\d\d", a[2]):
            desc = f"Start Time: {a[2]}, End Time: {a[3]}".strip() + ("\n" + desc if desc else "")
        out[a[1] or "(no subject)"] = (a[7], a[8], desc, a[9], None, None if a[1] else "")
    for e in ADDRESSES:
        if e[10] == "1" and e[0] != "Bad":
            d, m, y = e[9].split("/")
            rule = "FREQ=YEARLY" + (";BYMONTH=2;BYMONTHDAY=-1" if (d, m) == ("29", "02") else "")
            out[f"Birthday - {e[1]}, {e[0]}"] = (y + m + d, 1440, "", None, rule_text(rule), None)
    return out


def start_text(value):
    return value.strftime("%Y%m%dT%H%M" if isinstance(value, dt.datetime) else "%Y%m%d")


def minutes(delta):
    return None if delta is None else int(delta.total_seconds() // 60)


def rule_text(rule):  # the parts in a fixed order
    return ";".join(sorted(rule.split(";"))) if rule else None


def events_icalendar(data):
    out = {}
    for e in icalendar.Calendar.from_ical(data).walk("VEVENT"):
        start, alarms = e["DTSTART"].dt, e.walk("VALARM")
        length = e["DURATION"].dt if "DURATION" in e else e["DTEND"].dt - start if "DTEND" in e \
            else None
        out[str(e["SUMMARY"])] = (
            start_text(start), minutes(length), str(e.get("DESCRIPTION", "")),
            -alarms[0]["TRIGGER"].dt.total_seconds() if alarms else None,
            rule_text(e["RRULE"].to_ical().decode()) if "RRULE" in e else None,
            e["SUMMARY"].params.get("X-TALLOWBY-SUBJECT"))
    return out


def events_vobject(data):
    out = {}
    for e in vobject.readOne(data.decode()).vevent_list:
        c, start = e.contents, e.dtstart.value
        length = c["duration"][0].value if "duration" in c else c["dtend"][0].value - start \
            if "dtend" in c else None
        out[e.summary.value] = (
            start_text(start), minutes(length), c["description"][0].value if "description" in c
            else "", -e.valarm.trigger.value.total_seconds() if "valarm" in c else None,
            rule_text(e.rrule.value) if "rrule" in c else None,
            e.summary.params.get("X-TALLOWBY-SUBJECT", [None])[0])
    return out


def events_libical(data):
    out, kind, vevent = {}, ICal.PropertyKind, ICal.ComponentKind.VEVENT_COMPONENT
    cal = ICal.Component.new_from_string(data.decode())
    check("X-LIC-ERROR" not in cal.as_ical_string(), "libical reports an error")
    e = cal.get_first_component(vevent)
    while e:
        start, prop = e.get_dtstart().as_ical_string(), e.get_first_property
        length, fmt = None, "%Y%m%dT%H%M%S" if "T" in start else "%Y%m%d"
        if prop(kind.DURATION_PROPERTY):
            length = prop(kind.DURATION_PROPERTY).get_duration().as_int() // 60
        elif prop(kind.DTEND_PROPERTY):  # libical's own subtraction fails in 1601
            length = minutes(dt.datetime.strptime(e.get_dtend().as_ical_string(), fmt) -
                             dt.datetime.strptime(start, fmt))
        alarm, rule = e.get_first_component(ICal.ComponentKind.VALARM_COMPONENT), prop(
            kind.RRULE_PROPERTY)
        out[e.get_summary()] = (
            start[:13], length, e.get_description() or "",
            -alarm.get_first_property(kind.TRIGGER_PROPERTY).get_trigger().get_duration().as_int()
            if alarm else None, rule_text(rule.get_rrule().to_string()) if rule else None,
            prop(kind.SUMMARY_PROPERTY).get_parameter_as_string("X-TALLOWBY-SUBJECT"))
        if rule and e.get_dtstart().get_year() < 2000:  # the dates of 2023 and 2024
            it, dates = ICal.RecurIterator.new(rule.get_rrule(), e.get_dtstart()), []
            while len(dates) < 60 and not (t := it.next()).is_null_time():
                dates.append(t.as_ical_string())
            check(bool({"20230228", "20240229"} & set(dates)) == (start[6:] == "29") and
                  ("20230305" in dates) == (start == "19700305"), f"libical: dates of {start}")
        e = cal.get_next_component(vevent)
    return out


# calcurse and khal show no rules or parameters; they are asked for the events of each day, and
# for the birthday on 29 February also of the last day of February 2023 and 2024. Without an end
# an event lasts `no_end` minutes.
def shown_on_days(want, days, no_end):
    out = {(w[0][:8], t): (w[0], no_end if w[1] is None else w[1], w[2] or None)
           for t, w in want.items()}
    out |= {(d, "Birthday - Day, Leap"): (d, 1440, None) for d in ("20230228", "20240229")}
    return {k: v for k, v in out.items() if k[0] in days}


def calcurse_events(ics, tmp, days):
    env, home, out = dict(os.environ, HOME=tmp), os.path.join(tmp, "calcurse"), {}
    r = run("-D", home, "-i", ics, env=env, tool="calcurse")
    check(r.returncode == 0 and "0 skipped" in r.stdout, f"calcurse import: {r.stdout}")
    apt, event = "%m\x1f%S\x1f%d\x1f%N\x1e", "%m\x1f\x1f86400\x1f%N\x1e"
    for day in days:
        q = run("-D", home, "-Q", "--from", f"{day[4:6]}/{day[6:]}/{day[:4]}", "--days", "1",
                "--format-apt", apt, "--format-recur-apt", apt, "--format-event", event,
                "--format-recur-event", event, env=env, tool="calcurse")
        for item in q.stdout.split("\x1e")[:-1]:
            title, start, seconds, note = re.sub(r"^\d\d/\d\d/\d\d:\n", "", item).split("\x1f")
            note = "\n".join(line[1:] for line in note.rstrip("\n").split("\n"))  # tab first
            out[(day, title)] = (day + ("T" + start.replace(":", "") if start else ""),
                                 int(seconds) // 60, None if note == "No note file found" else note)
    return out


def khal_events(ics, tmp, days):
    env, out = dict(os.environ, XDG_DATA_HOME=tmp, XDG_CONFIG_HOME=tmp), {}
    config = os.path.join(tmp, "khal.conf")
    with open(config, "w") as f:
        f.write(f"[calendars]\n[[cal]]\npath = {tmp}/khal-cal\n[locale]\ntimeformat = %H%M\n"
                "dateformat = %Y%m%d\nlongdateformat = %Y%m%d\ndatetimeformat = %Y%m%dT%H%M\n"
                "longdatetimeformat = %Y%m%dT%H%M\n")
    os.makedirs(os.path.join(tmp, "khal-cal"))
    r = run("-c", config, "import", "--batch", ics, env=env, tool="khal")
    check(r.returncode == 0, f"khal import: {r.stderr[-300:]}")
    for day in days:
        q = run("-c", config, "list", "--day-format", "", "--format",
                "{title}\x1f{start}\x1f{end}\x1f{description}\x1e", day, "1d", env=env, tool="khal")
        for item in q.stdout.split("\x1e")[:-1]:
            title, start, end, desc = item.lstrip("\n").split("\x1f")
            fmt, whole_day = ("%Y%m%d", 1440) if "T" not in start else ("%Y%m%dT%H%M", 0)
            length = dt.datetime.strptime(end, fmt) - dt.datetime.strptime(start, fmt)
            out[(day, title)] = (start, minutes(length) + whole_day, desc or None)
    return out


# --- The address book ----------------------------------------------------------------------

# full name -> (family, given, home address, {phone: types}, birthday, e-mail, URL, note)
def expected_cards():
    out = {}
    for e in ADDRESSES:
        note = e[13].replace("\r\n", "\n")
        if e[12] and not e[14]:
            note = (note + "\n" if note else "") + "Home Page: " + e[12]
        out[f"{e[0]} {e[1]}".strip()] = (
            e[1], e[0], e[2].replace("\r\n", "\n") or None,
            {p: t for p, t in zip(e[3:9], TEL_TYPES) if p},
            e[9][6:] + e[9][3:5] + e[9][:2] if e[10] == "1" and e[0] != "Bad" else None,
            e[11] or None, e[14], note or None)
    return out


def cards_vobject(text):
    out = {}
    for c in vobject.readComponents(text):
        def value(name):
            return c.contents[name][0].value if name in c.contents else None
        adr = [a.value.street for a in c.contents.get("adr", []) if a.params.get("TYPE") == ["home"]]
        out[c.fn.value] = (c.n.value.family, c.n.value.given, (adr + [None])[0],
                           {t.value: ",".join(t.params["TYPE"]) for t in c.contents.get("tel", [])},
                           value("bday"), value("email"), value("url"), value("note"))
    return out


def cards_evolution(text):
    out = {}
    for block in re.findall(r"BEGIN:VCARD\r\n.*?END:VCARD\r\n", text, flags=re.S):
        c = EBook.Contact.new_from_vcard(block)
        p, email, born = c.props, c.get_attributes(EBook.ContactField.EMAIL), c.props.birth_date
        out[p.full_name] = (
            p.name.family, p.name.given, p.address_home.street if p.address_home else None,
            {a.get_value(): ",".join(a.get_param("TYPE"))
             for a in c.get_attributes(EBook.ContactField.TEL)},
            f"{born.year:04}{born.month:02}{born.day:02}" if born else None,
            email[0].get_value() if email else None, p.homepage_url, p.note)
        check(p.address_work is None, "Evolution: the address is no work address")
    return out


# Every reader against what it should show. calcurse and khal are given files; khal works with
# Python's dates, which end with 9999: an event that reaches the year 10000 stops its whole
# import, so khal is given the calendar without the events of that day.
def check_readers(ics_data, vcards, tmp):
    want, cards, ics, khal_ics = expected_events(), expected_cards(), tmp + "/c.ics", tmp + "/k.ics"
    days = {w[0][:8] for w in want.values()} | {"20230228", "20240229"}
    before_10000 = {t: w for t, w in want.items() if w[0][:4] != "9999"}
    open(ics, "wb").write(ics_data)
    open(khal_ics, "wb").write(re.sub(rb"BEGIN:VEVENT\r\n(?:(?!END:VEVENT).)*?DTSTART[^\r]*:"
                                      rb"99991231.*?END:VEVENT\r\n", b"", ics_data, flags=re.S))
    calcurse, khal = shutil.which("calcurse"), shutil.which("khal")
    for name, reader, read, expected, *args in (
            ("python3-icalendar", icalendar, events_icalendar, want, ics_data),
            ("python3-vobject", vobject, events_vobject, want, ics_data),
            ("libical", ICal, events_libical, want, ics_data),
            ("calcurse", calcurse, calcurse_events, shown_on_days(want, days, 0), ics, tmp, days),
            ("khal", khal, khal_events, shown_on_days(before_10000, days, 60), khal_ics, tmp, days),
            ("python3-vobject", vobject, cards_vobject, cards, vcards),
            ("Evolution", EBook, cards_evolution, cards, vcards)):
        if reader:
            compare(name, read, expected, *args)
    skipped.extend(p for p in ("calcurse", "khal") if not shutil.which(p))


def contents(folder):  # the files of a folder, by name
    return {n: open(os.path.join(folder, n), "rb").read() for n in os.listdir(folder)}


def main():
    with tempfile.TemporaryDirectory() as tmp:
        folder, ics, vcf = tmp + "/data", tmp + "/calendar.ics", tmp + "/contacts.vcf"
        os.makedirs(folder)
        build_folder(folder, APPOINTMENTS)
        before = contents(folder)
        r = run("ical", folder, "-o", ics)
        warned = ('"9:3" is not hh:mm', '"31/02/1970" is not a', "31 December 9999")
        check(r.returncode == 0 and all(w in r.stderr for w in warned), f"ical: {r.stderr}")
        check(run("vcard", folder, "-o", vcf).returncode == 0, "vcard: exit status")
        check(stat.S_IMODE(os.stat(ics).st_mode) == 0o600, "the export is private")
        exports = {path: open(path, "rb").read() for path in (ics, vcf)}
        for path, data in exports.items():  # content lines: CR LF, at most 75 octets, UTF-8
            check(data.endswith(b"\r\n") and all(len(line) <= 75 and b"\n" not in line and
                                                 line.decode() is not None
                                                 for line in data.split(b"\r\n")), path)
        check_readers(exports[ics], exports[vcf].decode(), tmp)
        run("notes", folder, tmp + "/notes")
        check(sorted(os.listdir(tmp + "/notes")) == ["Shopping_List.txt", "nul_.txt.txt"],
              "notes: names")
        r = run("check", folder)
        check(r.returncode == 1 and "31 December 9999" in r.stdout, f"check: {r.stdout}")
        check(contents(folder) == before, "the data folder is left unchanged")
        check_uids(folder, ics, tmp)
    for s in skipped:
        print("SKIP:", s, "is not installed")
    print(f"{len(failures)} check(s) failed" if failures else "All export round-trip checks passed.")
    return 1 if failures else 77 if skipped else 0


# Deleting an appointment renumbers its day, and a subject is edited: every UID stays, but that
# of the appointment that now is the first of two at the same start time.
def check_uids(folder, ics, tmp):
    def uids(path):
        return [(re.search(r"DTSTART[^:]*:(\S+)", e)[1], re.search(r"UID:(\S+)", e)[1])
                for e in open(path, encoding="utf-8").read().split("BEGIN:VEVENT")[1:]]
    edited = [(a[0][:9] + str(int(a[0][9:]) - 1), *a[1:]) if a[0][:8] == "20240105" else a
              for a in APPOINTMENTS[1:]]
    edited[0] = (edited[0][0], "Late call, moved", *edited[0][2:])
    build_folder(folder, edited)
    run("ical", folder, "-o", tmp + "/again.ics")
    before, after = uids(ics), dict(uids(tmp + "/again.ics"))
    unique = {k: u for k, u in before if [b[0] for b in before].count(k) == 1}
    check(len(after) == len(before) - 2 and all(after[k] == u for k, u in unique.items()),
          f"UIDs after a delete and an edit: {unique} {after}")


if __name__ == "__main__":
    sys.exit(main())
