#!/usr/bin/env python3
"""Installs the build into a staging root (DESTDIR, prefix /usr) and checks
what lands there: the file list, the icon sizes, the installed impostra-cli,
and that the desktop entry, AppStream metadata, manual pages and changelog
name the same id, programs and version."""
import argparse
import configparser
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

ARGS = None
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def expected_files(app_id):
    files = {
        "usr/bin/impostra",
        "usr/bin/impostra-cli",
        f"usr/share/applications/{app_id}.desktop",
        f"usr/share/metainfo/{app_id}.metainfo.xml",
        f"usr/share/icons/hicolor/scalable/apps/{app_id}.svg",
        "usr/share/man/man1/impostra.1.gz",
        "usr/share/man/man1/impostra-cli.1.gz",
        "usr/share/doc/impostra/copyright",
        "usr/share/doc/impostra/changelog.gz",
    }
    files.update(f"usr/share/icons/hicolor/{n}x{n}/apps/{app_id}.png" for n in ICON_SIZES)
    return files


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise AssertionError(f"{path} is not a PNG file")
    return struct.unpack(">II", head[16:24])


class InstalledFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = ARGS.stage
        shutil.rmtree(cls.root, ignore_errors=True)
        subprocess.run([ARGS.cmake, "--install", ARGS.build_dir, "--prefix", "/usr"],
                       env=dict(os.environ, DESTDIR=cls.root), check=True, stdout=subprocess.DEVNULL)
        cls.id = ARGS.app_id

    def path(self, relative):
        return os.path.join(self.root, relative)

    def read_gz(self, relative):
        with gzip.open(self.path(relative), "rt", encoding="utf-8") as f:
            return f.read()

    def test_file_list(self):
        installed = set()
        for folder, _, names in os.walk(self.root):
            installed.update(os.path.relpath(os.path.join(folder, n), self.root) for n in names)
        expected = expected_files(self.id)
        self.assertEqual(sorted(expected - installed), [], "missing from the install")
        self.assertEqual(sorted(installed - expected), [], "installed but not expected")
        for program in ("usr/bin/impostra", "usr/bin/impostra-cli"):
            self.assertTrue(os.access(self.path(program), os.X_OK), f"{program} is not executable")
        for name in installed - {"usr/bin/impostra", "usr/bin/impostra-cli"}:
            self.assertFalse(os.stat(self.path(name)).st_mode & 0o111, f"{name} should not be executable")

    def test_icons(self):
        for n in ICON_SIZES:
            with self.subTest(size=n):
                png = self.path(f"usr/share/icons/hicolor/{n}x{n}/apps/{self.id}.png")
                self.assertEqual(png_size(png), (n, n))
        svg = ET.parse(self.path(f"usr/share/icons/hicolor/scalable/apps/{self.id}.svg")).getroot()
        self.assertEqual(svg.tag, "{http://www.w3.org/2000/svg}svg")
        self.assertIn("viewBox", svg.attrib)

    def test_installed_cli_lays_out_the_worked_order(self):
        result = subprocess.run([self.path("usr/bin/impostra-cli"), "--ups", "10", "1000", "2500", "700"],
                                capture_output=True, check=True)
        lines = result.stdout.decode("utf-8").splitlines()
        self.assertEqual(lines[0].split(), ["印刷张数", "500"])
        self.assertIn(["印后数量", "5000"], [line.split() for line in lines])

    def test_desktop_entry(self):
        entry = configparser.ConfigParser(interpolation=None, strict=True)
        entry.optionxform = str  # keys are case-sensitive
        entry.read(self.path(f"usr/share/applications/{self.id}.desktop"), encoding="utf-8")
        group = entry["Desktop Entry"]
        self.assertEqual(group["Type"], "Application")
        self.assertEqual(group["Icon"], self.id)
        self.assertEqual(group["Terminal"], "false")
        self.assertIn("Office", group["Categories"].split(";"))
        # Exec names an installed program, whose windows' class (Qt takes the
        # program's file name) ties them to the entry on X11.
        program = group["Exec"].split()[0]
        self.assertTrue(os.path.exists(self.path("usr/bin/" + program)), group["Exec"])
        self.assertEqual(group.get("StartupWMClass"), program)
        for key in ("Name", "GenericName", "Comment"):
            self.assertTrue(group.get(key), key)
        for key in ("Name[zh_CN]", "GenericName[zh_CN]"):
            self.assertRegex(group.get(key, ""), "[\u4e00-\u9fff]", key)

    def test_metadata_matches(self):
        meta = ET.parse(self.path(f"usr/share/metainfo/{self.id}.metainfo.xml")).getroot()
        self.assertEqual(meta.findtext("id"), self.id)
        self.assertEqual(meta.findtext("launchable"), f"{self.id}.desktop")
        releases = [r.get("version") for r in meta.iter("release")]
        self.assertEqual(releases[:1], [ARGS.version], "the newest release is the project's version")
        for binary in meta.iter("binary"):
            self.assertTrue(os.path.exists(self.path("usr/bin/" + binary.text)), binary.text)
        lang = "{http://www.w3.org/XML/1998/namespace}lang"
        for tag in ("name", "summary"):
            self.assertEqual({e.get(lang) for e in meta.findall(tag)}, {None, "zh-CN"}, tag)

    def test_manual_pages_and_changelog(self):
        for page in ("impostra", "impostra-cli"):
            with self.subTest(page=page):
                text = self.read_gz(f"usr/share/man/man1/{page}.1.gz")
                header = next(line for line in text.splitlines() if line.startswith(".TH "))
                self.assertTrue(header.startswith(f".TH {page.upper()} 1 "), header)
                self.assertIn(f'"Impostra {ARGS.version}"', header)
        # Every option that impostra-cli --help lists is described in its manual page.
        cli = self.read_gz("usr/share/man/man1/impostra-cli.1.gz")
        usage = subprocess.run([self.path("usr/bin/impostra-cli"), "--help"], capture_output=True, check=True)
        options = set(re.findall(r"--[a-z][a-z-]*", usage.stdout.decode()))
        self.assertGreater(len(options), 5)
        missing = [option for option in sorted(options) if option.replace("-", "\\-") not in cli]
        self.assertEqual(missing, [], "options of impostra-cli --help that impostra-cli.1 does not describe")
        changelog = self.read_gz("usr/share/doc/impostra/changelog.gz")
        self.assertTrue(changelog.startswith(f"impostra ({ARGS.version}) "), changelog.splitlines()[0])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ("--cmake", "--build-dir", "--stage", "--app-id", "--version"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
