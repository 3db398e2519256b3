#!/usr/bin/env python3
"""Writes the benchmark's program directory: a Tavelin.ini with 50 active
notes at distinct places on a 1024 x 768 screen, and 50 note files of about
2.4 KB formatted text each.

usage: make_notes.py <directory> <clocks: 0|1> [alarms: 0|1]

With alarms, every note carries a repeating alarm a year ahead, the kinds
in turn.
"""
import datetime
import os
import sys


def note_rtf(n):
    head = (r"{\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss Arial;}"
            r"{\f1\fmodern Courier New;}}{\colortbl;\red0\green0\blue0;"
            r"\red200\green0\blue0;\red0\green0\blue160;}" "\n"
            r"\viewkind4\uc1\pard\lang1031\f0\fs20 ")
    body = []
    i = 0
    while len(head) + sum(map(len, body)) < 2400:
        body.append(r"{\b Notiz %d, Punkt %d:} Einkauf f\'fcr Samstag, {\i Milch}, "
                    r"{\cf2 Brot}, {\f1 Butter} und {\cf3\ul Gem\'fcse}.\par" "\n" % (n, i))
        i += 1
    return head + "".join(body) + "}\n"


def main():
    directory, clocks = sys.argv[1], sys.argv[2]
    alarms = len(sys.argv) > 3 and sys.argv[3] == "1"
    ahead = datetime.date.today() + datetime.timedelta(days=365)
    kinds = ["täglich", "werktags", "wöchentlich", "monatlich"]
    os.makedirs(directory, exist_ok=True)
    lines = ["[Settings]", "Notizanzahl=50", "firstrun=1", "startscreen=0"]
    for n in range(1, 51):
        left = 10 + (n - 1) % 10 * 75
        top = 10 + (n - 1) // 10 * 100
        rect = "%d,%d,%d,%d" % (left, top, left + 270, top + 240)
        lines += ["", "[Notiz%d]" % n, "active=1", 'NotizTitel="Notiz %d  "' % n,
                  "showclock=%s" % clocks, "Flags=0", "ShowCmd=1", "PixelsPerInch=96",
                  "MinMaxPos(1024x768)=-1,-1,-1,-1", "MinMaxPos=-1,-1,-1,-1",
                  "NormPos(1024x768)=" + rect, "NormPos=" + rect, "Visible=1",
                  "RxClock1_AlarmEnabled=%s" % ("True" if alarms else "False"),
                  "RxClock1_AlarmHour=%d" % (n % 24 if alarms else 0),
                  "RxClock1_AlarmMinute=0", "RxClock1_AlarmSecond=0",
                  "memo1_Color=65535"]
        if alarms:
            lines += ["Alarmdatum=" + ahead.strftime("%d.%m.%Y"),
                      "Alarmwiederholung=" + kinds[n % len(kinds)]]
        with open(os.path.join(directory, "Notiz%d.tvn" % n), "w", newline="\r\n") as f:
            f.write(note_rtf(n))
    with open(os.path.join(directory, "Tavelin.ini"), "w", newline="\r\n",
              encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


main()
