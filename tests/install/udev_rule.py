#!/usr/bin/env python3
"""The generated udev rule gives exactly the device catalogue's interfaces to the user at the
seat, on hidraw, and nothing else.

usage: udev_rule.py RULE_FILE CATALOGUE_PROGRAM VARKON_HID
CATALOGUE_PROGRAM prints the catalogue's rows; VARKON_HID lists the emulated devices, whose
catalogue interfaces must be covered too.
"""
import os
import re
import subprocess
import sys

rule_path, catalogue_program, varkon_hid = sys.argv[1:4]

LINE = re.compile(
    r'SUBSYSTEM=="hidraw", ATTRS\{modalias\}=="usb:v([0-9A-F]{4})p([0-9A-F]{4})d\*", '
    r'ATTRS\{bInterfaceNumber\}=="([0-9a-f]{2})", TAG\+="uaccess"')

problems = []
rule_ids = []
with open(rule_path, encoding="ascii") as rule:
    text = rule.read()
for number, line in enumerate(text.splitlines(), 1):
    if not line.strip() or line.startswith("#"):
        continue
    match = LINE.fullmatch(line)
    if not match:
        problems.append("line %d is not a hidraw uaccess line: %s" % (number, line))
        continue
    vendor, product, interface = match.groups()
    rule_ids.append((vendor.lower(), product.lower(), int(interface, 16)))
for word in ("MODE", "GROUP", "OWNER", "RUN", "PROGRAM", "SYMLINK"):
    if re.search(r"^[^#]*\b%s\b" % word, text, re.M):
        problems.append("the rule sets %s" % word)
if len(set(rule_ids)) != len(rule_ids):
    problems.append("the rule repeats an identity: %s" % rule_ids)
if not text.startswith("# %s:" % os.path.basename(rule_path)):
    problems.append("the rule's first line does not name the file it is installed as")

# The catalogue's identities; vendor 0 rows stand for an identity no device has.
catalogue = set()
for row in subprocess.run([catalogue_program], check=True, capture_output=True,
                          text=True).stdout.splitlines():
    vendor, product, interface, _kind = row.split(" ", 3)
    if vendor != "0000":
        catalogue.add((vendor, product, int(interface)))
if not catalogue:
    problems.append("the catalogue program printed no identity")
if set(rule_ids) != catalogue:
    problems.append("the rule's identities %s are not the catalogue's %s" %
                    (sorted(set(rule_ids)), sorted(catalogue)))

# Each emulated device's interface that varkon-hid names as a supported one is in the rule.
listing = subprocess.run([varkon_hid, "--simulate", "all", "list"], check=True,
                         capture_output=True, text=True).stdout
named = set()
for line in listing.splitlines():
    fields = line.split("  ")
    if len(fields) >= 5 and fields[4]:
        vendor, product = fields[1].split(":")
        named.add((vendor, product, int(fields[3].split()[0], 16)))
if len(named) < 5:
    problems.append("varkon-hid lists only %s supported emulated interfaces" % sorted(named))
if not named <= set(rule_ids):
    problems.append("emulated interfaces missing from the rule: %s" %
                    sorted(named - set(rule_ids)))

for problem in problems:
    print("FAIL: " + problem, file=sys.stderr)
if not problems:
    print("udev rule: %d lines, the catalogue's identities exactly" % len(rule_ids))
sys.exit(1 if problems else 0)
