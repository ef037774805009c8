#!/usr/bin/env python3
"""Loads every page of the help site in headless Chromium and checks that each local
link and resource (href, src) leads to a file that exists, and that each "#anchor"
names an element of its page. Takes a screenshot of every page for a person to look
at. Web and mail addresses are listed, not fetched: the tests have no network.

Usage: check_site.py SITE_FOLDER SCREENSHOT_FOLDER
Exit code 0 when every page loaded and every local link was found.
"""
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

REQUIRED = ["index.html", "help.html", "faq.html", "packs.html", "art/index.html", "style.css"]


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.refs = []  # (attribute, value)
        self.ids = set()
        self.title = ""
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if name in ("href", "src") and value is not None:
                self.refs.append((tag, value))
            if name in ("id", "name") and value:
                self.ids.add(value)
        self._in_title = tag == "title"

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def browser():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def chromium(exe, profile, *args):
    # --no-sandbox: the tests run as root on the build machines.
    command = [exe, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
               "--no-first-run", "--user-data-dir=" + profile, *args]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120)
    return result.returncode, result.stdout.decode("utf-8", "replace")


def parse(dom):
    parser = Links()
    parser.feed(dom)
    return parser


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    site, shots = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    exe = browser()
    if not exe:
        print("site: no Chromium found (Debian package chromium, see scripts/packages/pages.txt)")
        return 1
    os.makedirs(shots, exist_ok=True)
    problems = []
    for required in REQUIRED:
        if not os.path.isfile(os.path.join(site, required)):
            problems.append("missing page: " + required)

    pages = sorted(os.path.relpath(os.path.join(d, f), site)
                   for d, _, files in os.walk(site) for f in files if f.endswith(".html"))
    doms = {}
    external = set()
    with tempfile.TemporaryDirectory() as profile:
        for page in pages:
            path = os.path.join(site, page)
            url = "file://" + urllib.parse.quote(path)
            code, dom = chromium(exe, profile, "--dump-dom", url)
            if code != 0 or "<body" not in dom:
                problems.append("%s: Chromium could not load it (exit %d)" % (page, code))
                continue
            doms[page] = parse(dom)
            if not doms[page].title.strip():
                problems.append("%s: no title" % page)
            shot = os.path.join(shots, page.replace("/", "-").replace(".html", ".png"))
            chromium(exe, profile, "--screenshot=" + shot, "--window-size=1000,1500", url)
            if not os.path.isfile(shot) or os.path.getsize(shot) == 0:
                problems.append("%s: no screenshot" % page)

        checked = 0
        for page, links in doms.items():
            base = "file://" + urllib.parse.quote(os.path.join(site, page))
            for tag, ref in links.refs:
                target = urllib.parse.urlparse(urllib.parse.urljoin(base, ref))
                if target.scheme in ("http", "https", "mailto"):
                    external.add(ref)
                    continue
                if target.scheme != "file":
                    problems.append("%s: <%s> %s: unexpected kind of address" % (page, tag, ref))
                    continue
                local = urllib.parse.unquote(target.path)
                checked += 1
                if not os.path.exists(local):
                    problems.append("%s: <%s> %s leads nowhere (%s)" % (page, tag, ref, local))
                    continue
                if not os.path.realpath(local).startswith(os.path.realpath(site) + os.sep):
                    problems.append("%s: <%s> %s leaves the site folder" % (page, tag, ref))
                if target.fragment:
                    other = os.path.relpath(local, site)
                    if other not in doms:
                        problems.append("%s: %s points into a page that was not loaded" % (page, ref))
                    elif target.fragment not in doms[other].ids:
                        problems.append("%s: %s: no element with id \"%s\" in %s"
                                        % (page, ref, target.fragment, other))

    print("site: %d pages, %d local links checked, %d web or mail addresses not fetched"
          % (len(doms), checked, len(external)))
    for address in sorted(external):
        print("  external: " + address)
    print("site: screenshots in " + shots)
    for problem in problems:
        print("FAIL " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
