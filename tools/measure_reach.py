# How much of what Wine's own programs show the tool reads: starts each program under Wine on
# the display in $DISPLAY (one at a time, in the build's prefix), opens the page or dialog the
# table names with xdotool, saves a screenshot and `tessivane-cli dump --items -f json` of its
# windows, and counts two figures for each window:
#   on screen: the strings the window shows as it opens (title, menu bar titles, control texts,
#              the rows lists show, console lines, text drawn without a control) and how many
#              of them the dump holds;
#   held:      every string the window holds for showing (all items of lists, trees and combo
#              boxes, every menu item) and how many of them the dump holds.
# A list's row that the dump leaves all empty counts as missing (a string per column shown). It
# prints both figures for each window, with what the table below adjusts and why, and in the
# end their totals, the totals over the programs' main windows alone (as they open, before any
# page or dialog is opened), and the held figure without the two largest controls. A window
# whose tessivane-cli call fails or runs past 120 s is named as failed and left out.
# Menus come from the program's own menu resource, as Wine refuses them to other processes.
# What the dump cannot tell (rows a tree or a list shows, text drawn without a control) is read
# from the screenshots: ON_SCREEN_SEEN holds what was seen in the last run, so look at the new
# screenshots and bring it up to date before quoting a figure.
#
# Usage (after scripts/build.sh, with xdotool and ImageMagick installed):
#   source scripts/display.sh; source scripts/wine-env.sh; ensure_wine_prefix
#   python3 tools/measure_reach.py [OUTPUT_DIR] [NAME ...]
import json
import os
import struct
import subprocess
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
CLI = os.path.join(ROOT, "build", "win", "tessivane-cli.exe")
WINE_LIB = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/"
ENGLISH = 0x409


def keys(*names):
    return [("key", name) for name in names]


def clicks(*points):
    return [("click", point) for point in points]


WORDPAD = "C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe"
# name, command line, what opens the window measured, the main window's menu resource
PROGRAMS = [
    ("regedit", ["regedit"], [], ("regedit.exe", 130)),
    ("regedit-find", ["regedit"], keys("ctrl+f"), None),
    ("notepad", ["notepad", "C:\\windows\\win.ini"], [], ("notepad.exe", 513)),
    ("notepad-find", ["notepad", "C:\\windows\\win.ini"], keys("ctrl+f"), None),
    ("taskmgr-applications", ["taskmgr"], [], ("taskmgr.exe", 130)),
    ("taskmgr-processes", ["taskmgr"], clicks((550, 360)), ("taskmgr.exe", 130)),
    ("taskmgr-performance", ["taskmgr"], clicks((620, 360)), ("taskmgr.exe", 130)),
    ("winefile", ["winefile"], [], ("winefile.exe", 102)),
    ("winemine", ["winemine"], [], ("winemine.exe", 1)),
    ("progman", ["progman"], [], ("progman.exe", 265)),
    ("wordpad", [WORDPAD], [], ("wordpad.exe", 2200)),
    ("wineconsole-cmd", ["wineconsole", "cmd", "/k", "echo Tessivane & ver"], [], None),
    ("winecfg-applications", ["winecfg"], [], None),
    ("winecfg-libraries", ["winecfg"], clicks((146, 54)), None),
    ("winecfg-graphics", ["winecfg"], clicks((227, 54)), None),
    ("winecfg-drives", ["winecfg"], clicks((74, 38)), None),
    ("winecfg-about", ["winecfg"], clicks((339, 38)), None),
    ("control", ["control"], [], ("shell32.dll", 200)),
    ("oleview", ["oleview"], [], ("oleview.exe", 3)),
    ("uninstaller", ["uninstaller"], [], None),
]

# Seen on the screenshots: (strings on screen, of them in the dump, what), added to what the
# rules below count from the dump.
ON_SCREEN_SEEN = {
    "regedit": (7, 7, "the tree's rows: My Computer and the six keys below it"),
    "oleview": (8, 8, "the tree's eight rows shown"),
    # the tree shows a row for each folder of the home folder: its list box's count says how many
    "winefile": lambda root: (
        tree_rows(root) + 12 - 18 + 6, -18 + 6,
        "owner-drawn rows: the tree's %d (its list box's count), and the drives (C:) and (Z:) "
        "with name, size and three dates, Control Panel with name and size; the headers show 6 "
        "of their 18 captions" % tree_rows(root)),
    "wordpad": (14, 0, "the ruler's numbers, drawn"),
    "winemine": (2, 0, "the mine counter and the clock, drawn"),
    "taskmgr-processes": (-1, 0, "4 menu titles, not 5: the Windows menu shows on the "
                          "Applications page only"),
    "taskmgr-performance": (2 - 1, 0, "the two meters' figures, drawn; 4 menu titles, not 5: "
                            "the Windows menu shows on the Applications page only"),
    "winecfg-applications": (1, 1, "the selection the Windows version drop-down shows "
                             "(Windows 7), its combo box's text"),
    "control": (-3, -3, "an icon view: the three names, not their descriptions"),
}

# The controls left out of the held figure's second count, the largest by far: (window, class).
LARGEST = {("oleview", "SysTreeView32"): "OleView's tree",
           ("winecfg-libraries", "ComboBox"): "winecfg's DLL list"}
HELD_WITHOUT_LARGEST = "held without " + " and ".join(LARGEST.values())
FIGURES = ["on screen", "held", "main windows alone, on screen", "main windows alone, held",
           HELD_WITHOUT_LARGEST]

# Controls that show their own window text; other windows' texts (a list view's, a frame's)
# are not drawn.
TEXT_CLASSES = {"Button", "Static", "Edit", "SysLink", "RichEdit20W", "WineConsoleClass"}
# Items a control shows as it opens; a combo box shows only its selection (its edit's text)
# and a tree only the rows expanded (seen on the screenshot).
ITEMS_ON_SCREEN = {"listBox", "listView", "header", "tab", "statusBar", "toolbar", "console"}
READ = ("read", "capped")
# Kinds whose rows show a text each: a row the dump leaves all empty is one it did not read (a
# toolbar's separator, an empty status bar part or a tab with only an icon shows none).
LISTS = {"listBox", "comboBox", "listView", "treeView"}


# ---------------------------------------------------------------- menu resources of a PE file


def resource_menus(path):
    """The RT_MENU resources of a PE file: {name or id: {language: bytes}}."""
    pe = open(path, "rb").read()
    header = struct.unpack_from("<I", pe, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H", pe, header + 6)[0], struct.unpack_from(
        "<H", pe, header + 20)[0]
    optional = header + 24
    directories = optional + (96 if struct.unpack_from("<H", pe, optional)[0] == 0x10B else 112)
    resources_rva = struct.unpack_from("<I", pe, directories + 2 * 8)[0]
    table = []
    for index in range(sections):
        size, address, raw_size, raw = struct.unpack_from("<IIII", pe, optional + optional_size +
                                                          40 * index + 8)
        table.append((address, max(size, raw_size), raw))

    def offset(rva):
        return next(rva - address + raw for address, size, raw in table
                    if address <= rva < address + size)

    base = offset(resources_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", pe, base + directory + 12)
        for index in range(named + ids):
            name, target = struct.unpack_from("<II", pe, base + directory + 16 + 8 * index)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                name = pe[at + 2:at + 2 + 2 * struct.unpack_from("<H", pe, at)[0]].decode(
                    "utf-16-le")
            yield name, target & 0x7FFFFFFF

    menus = {}
    for kind, names in entries(0):
        if kind != 4:
            continue
        for name, languages in entries(names):
            for language, data in entries(languages):
                rva, size = struct.unpack_from("<II", pe, base + data)
                menus.setdefault(name, {})[language] = pe[offset(rva):offset(rva) + size]
    return menus


def menu_texts(template):
    """A MENU or MENUEX template's item texts as (depth, text), separators left out."""
    texts = []

    def string(at):
        end = at
        while template[end:end + 2] != b"\0\0":
            end += 2
        return template[at:end].decode("utf-16-le"), end + 2

    def level(at, depth, extended):
        while True:
            if extended:
                kind, _, _, flags = struct.unpack_from("<IIIH", template, at)
                text, at = string(at + 14)
                at = (at + 3) & ~3
                popup, last, separator = flags & 1, flags & 0x80, kind & 0x800
            else:
                flags = struct.unpack_from("<H", template, at)[0]
                popup, last, separator = flags & 0x10, flags & 0x80, False
                text, at = string(at + (2 if popup else 4))
            if text and not separator:
                texts.append((depth, text))
            if popup:
                at = level(at + (4 if extended else 0), depth + 1, extended)
            if last:
                return at

    version, header = struct.unpack_from("<HH", template, 0)
    level(4 + header, 0, version == 1)
    return texts


def menu_of(program_menu):
    module, name = program_menu
    return menu_texts(resource_menus(WINE_LIB + module)[name][ENGLISH])


# ---------------------------------------------------------------- counting


def shown(window, parent_shown=True):
    """The windows of a dump that are on screen: visible, as are all their ancestors."""
    on = parent_shown and window["visible"]
    if on:
        yield window
    for child in window["children"]:
        yield from shown(child, on)


def item_strings(items):
    """The strings a control's items show and how many of them the dump read: each cell with a
    text; a list's row left all empty counts as one string per column shown, none read."""
    shown_columns = len(items["columns"]) - len(items.get("hiddenColumns", []))
    present = reported = 0
    for row in items["rows"]:
        cells = sum(1 for cell in row if cell)
        if cells == 0 and items["kind"] in LISTS:
            present += max(shown_columns, 1)
            continue
        present += cells
        reported += cells if items["status"] in READ else 0
    return present, reported


def count(root, menu, on_screen, controls=None):
    """The strings the window shows (on_screen) or holds, and how many of them the dump read;
    each control with items is added to controls as (class, present, reported)."""
    present = reported = 0
    for window in shown(root):
        text = window["text"]
        if text and (window is root or window["class"] in TEXT_CLASSES) and not text.startswith(
                "(icon "):
            present += 1
            reported += window["status"] == "read"
        items = window.get("items")
        if not items or items["kind"] == "menu" or (on_screen and
                                                    items["kind"] not in ITEMS_ON_SCREEN):
            continue
        if items["status"] == "noTexts":
            # an owner-drawn list: counted from the screenshot on screen; held, its count,
            # unless a ComboBoxEx32 around it reads its items
            present += 0 if on_screen or window["parent_class"] == "ComboBoxEx32" else items[
                "claimed"]
            continue
        strings = item_strings(items)
        present, reported = present + strings[0], reported + strings[1]
        if controls is not None:
            controls.append((window["class"], *strings))
    if menu and root.get("items", {}).get("kind") == "menu":
        texts = menu_of(menu)
        present += sum(1 for depth, _ in texts if depth == 0) if on_screen else len(texts)
    return present, reported


def tree_rows(root):
    """The rows of the file manager's tree: the count of its first owner-drawn list box."""
    return next(window["items"]["claimed"] for window in shown(root)
                if window.get("items", {}).get("status") == "noTexts")


def mark_parents(window, parent_class=None):
    window["parent_class"] = parent_class
    for child in window["children"]:
        mark_parents(child, window["class"])


# ---------------------------------------------------------------- running the programs


class Failed(Exception):
    """A tessivane-cli call that ran past its limit, failed or wrote no JSON."""


def cli_json(*arguments):
    """The JSON document a tessivane-cli call writes; Failed when there is none in time."""
    try:
        run = subprocess.run(["wine", CLI, *arguments], capture_output=True, timeout=120)
    except subprocess.TimeoutExpired:
        raise Failed("tessivane-cli %s ran past 120 s" % arguments[0])
    try:
        return json.loads(run.stdout)
    except ValueError:
        raise Failed("tessivane-cli %s ended with %d and no JSON: %s" % (
            arguments[0], run.returncode, run.stderr.decode("utf-8", "replace").strip()[:200]))


def top_level_windows():
    listing = cli_json("list", "--all", "-f", "json")
    return {window["handle"]: window for window in listing["windows"]}


def measure(name, command, actions, output):
    """Starts the program, opens what actions open and dumps the window that came last; the
    program is ended whatever happens."""
    subprocess.run(["wineserver", "-k"], capture_output=True)
    before = top_level_windows()
    # started in the prefix's C:\ so that the file manager shows the same folders each time
    program = subprocess.Popen(["wine", *command], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL,
                               cwd=os.path.join(os.environ["WINEPREFIX"], "drive_c"))
    try:
        time.sleep(6)
        for kind, value in actions:
            if kind == "key":
                subprocess.run(["xdotool", "key", value])
            else:
                subprocess.run(["xdotool", "mousemove", str(value[0]), str(value[1]), "click",
                                "1"])
            time.sleep(1.5)
        time.sleep(1)
        new = [window for handle, window in top_level_windows().items()
               if handle not in before and window["visible"] and
               not window["class"].startswith("__wine")]
        subprocess.run(["import", "-window", "root", os.path.join(output, name + ".png")])
        # a dialog is the newest window; the program's main window behind it is measured alone
        dumps = [cli_json("dump", "--handle", str(window["handle"]), "--items", "-f",
                          "json")["window"] for window in new]
    finally:
        subprocess.run(["wineserver", "-k"], capture_output=True)
        program.wait()
    chosen = [dump for dump in dumps if dump["class"] == "#32770"] if actions and any(
        key == "key" for key, _ in actions) else dumps
    json.dump(chosen, open(os.path.join(output, name + ".json"), "w"), ensure_ascii=False)
    return chosen


class Totals:
    """Strings present and read, summed over the windows measured."""

    def __init__(self):
        self.figures = {}

    def add(self, figure, present, reported):
        sums = self.figures.setdefault(figure, [0, 0])
        sums[0] += present
        sums[1] += reported

    def print(self):
        for figure in FIGURES:
            present, reported = self.figures.get(figure, (0, 0))
            print("%s: %d of %d strings read (%.0f%%)" % (figure, reported, present,
                                                           100.0 * reported / max(present, 1)))


def measure_window(name, root, menu, main_window, totals):
    """Counts one window's figures into totals and prints them with what the table adjusted."""
    mark_parents(root)
    seen = ON_SCREEN_SEEN.get(name, (0, 0, ""))
    seen = seen(root) if callable(seen) else seen
    figures = {}
    for figure, on_screen in (("on screen", True), ("held", False)):
        controls = []
        present, reported = count(root, menu, on_screen, controls)
        if on_screen:
            present, reported = present + seen[0], reported + seen[1]
        totals.add(figure, present, reported)
        if main_window:
            totals.add("main windows alone, " + figure, present, reported)
        if not on_screen:
            # the largest control of that class in the window, should it hold more than one
            left_out = [max(((p, r) for c, p, r in controls if c == class_), default=(0, 0))
                        for window, class_ in LARGEST if window == name]
            totals.add(HELD_WITHOUT_LARGEST, present - sum(p for p, _ in left_out),
                       reported - sum(r for _, r in left_out))
        figures[figure] = "%4d of %4d" % (reported, present)
    print("%-22s %-24s on screen %s  held %s" % (name, root["class"][:24], figures["on screen"],
                                                  figures["held"]), flush=True)
    if seen[2]:
        print("    on screen adjusted by %+d shown, %+d read: %s" % seen, flush=True)


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "reach")
    only = sys.argv[2:]
    os.makedirs(output, exist_ok=True)
    totals = Totals()
    failed = []
    for name, command, actions, menu in PROGRAMS:
        if only and name not in only:
            continue
        try:
            roots = measure(name, command, actions, output)
        except Failed as failure:
            print("%-22s failed: %s" % (name, failure), flush=True)
            failed.append(name)
            continue
        for root in roots:
            # a program's main window as it opens, before any action opens another page or dialog
            measure_window(name, root, menu, not actions, totals)
    totals.print()
    if failed:
        print("%d windows failed and are not counted: %s" % (len(failed), ", ".join(failed)))


main()
