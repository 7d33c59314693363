#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into fuzz/corpus/.

Seeds come from the bundled sample (samples/127.0.0.1/TWMODEL001.twus), the
English and French catalogues and small inputs built here for the cases the
parsers must survive: empty, blank, NUL-laden, truncated, out-of-range and
huge values. Each seed is named after what it holds. Run from anywhere:

    fuzz/make-seeds.py [FOLDER]

writes into FOLDER/<target>/ (default fuzz/corpus). The committed corpora are
these seeds, the regression inputs (regression-*) and the fuzzers' findings
that add coverage to both: `fuzz/run.sh --minimise` rebuilds each corpus that
way in a fresh folder (see there).
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = pathlib.Path(sys.argv[1]).resolve() if len(sys.argv) > 1 else ROOT / "fuzz" / "corpus"
SAMPLE = ROOT / "samples" / "127.0.0.1" / "TWMODEL001.twus"


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))


def sample_records():
    """The sample's (kind, position, page bytes) records, in file order."""
    data = SAMPLE.read_bytes()
    records, pos = [], data.index(b"\n") + 1
    while pos < len(data):
        end = data.index(b"\n", pos)
        line = data[pos:end]
        pos = end + 1
        m = re.fullmatch(rb"([A-Z]) (\d{8}) (\d+)", line)
        if not m:
            continue
        length = int(m.group(3))
        records.append((m.group(1), int(m.group(2)), data[pos:pos + length]))
        pos += length + 1
    return records


def twus(records, header=b"TWUSRSPC PAGES 1\n"):
    out = bytearray(header)
    for kind, position, page in records:
        out += b"%s %08d %d\n" % (kind, position, len(page)) + page + b"\n"
    return bytes(out)


def escaped(text):
    """A text as FuzzedDataProvider::ConsumeRandomLengthString reads it back."""
    return text.replace(b"\\", b"\\\\") + b"\\;"


# fuzz_decoders selector bytes (the input's first byte): one page of a kind,
# bit 7 to decode a per-file page twice under the same key suffix, or "D"
# for a whole Display.
PAGE_SELECTORS = {"CX": 0, "GC": 1, "FC": 2, "ZC": 3, "SQL": 4, "readable-block": 5}
SAME_SUFFIX_TWICE = 0x80
DISPLAY_SELECTOR = ord("D")


def scripted(pages, address=b"127.0.0.1", name=b"TWMODEL001", pad=b" "):
    """fuzz_decoders input for a whole Display: the two boxes, then the pages
    in request order; the pad bytes are read from the end of the input."""
    body = escaped(address) + escaped(name) + b"".join(escaped(p) for p in pages)
    return bytes([DISPLAY_SELECTOR]) + body + pad * (len(pages) + 1)


def one_page(kind, page, suffixes=(b"FILEA00001", b"FILEA00002"), zc_entries=0, flags=0):
    """fuzz_decoders input for one page: selector, the key suffixes, the page;
    for ZC the entry count at the end, as ConsumeIntegralInRange(-2, 120)
    reads it (two bytes, the last one high)."""
    selector = PAGE_SELECTORS[kind] | flags
    body = b"".join(escaped(s) for s in suffixes[:1 if flags & SAME_SUFFIX_TWICE else 2])
    count = b""
    if kind == "ZC":
        raw = zc_entries + 2
        count = bytes([raw & 0xFF, raw >> 8])
    return bytes([selector]) + body + page + count


def field(page, offset, width, text):
    text = text.ljust(width)[:width]
    return page[:offset] + text + page[offset + width:]


# Offsets of the kept fields (sums of the layout widths before them).
GC_NBR_OF_FC, GC_END_OFFSET, GC_END_LENGTH = 480, 530, 540
FC_NBR_OF_ZC, FC_INSERT_OFFSET = 190, 210


GC_READABLE_BLOCK = 611  # the block follows the GC fields (their widths summed)


def page_seeds(records):
    """One page of each kind from the sample, and the page-level bad cases."""
    first = {}
    for kind, _, page in records:
        first.setdefault(kind.decode(), page)
    for kind, letter in [("CX", "C"), ("GC", "G"), ("FC", "F"), ("SQL", "S")]:
        write("fuzz_decoders", "page-" + kind, one_page(kind, first[letter]))
        write("fuzz_decoders", "page-%s-short" % kind, one_page(kind, first[letter][:5]))
    zc = first["Z"]
    write("fuzz_decoders", "page-ZC-3-entries", one_page("ZC", zc, zc_entries=3))
    write("fuzz_decoders", "page-ZC-120-entries-short", one_page("ZC", zc, zc_entries=120))
    write("fuzz_decoders", "page-ZC-minus-1", one_page("ZC", zc, zc_entries=-1))
    write("fuzz_decoders", "page-ZC-same-suffix-twice",
          one_page("ZC", zc, zc_entries=2, flags=SAME_SUFFIX_TWICE))
    # Suffixes that differ only where an entry number could continue them:
    # "A1" + entry 1 and "A" + entry 11 spell the same key.
    write("fuzz_decoders", "page-ZC-suffix-and-entry-spell-alike",
          one_page("ZC", zc * 4, suffixes=(b"A", b"A1"), zc_entries=11))
    write("fuzz_decoders", "page-FC-same-suffix-twice",
          one_page("FC", first["F"], flags=SAME_SUFFIX_TWICE))
    write("fuzz_decoders", "page-readable-block",
          one_page("readable-block", first["G"][GC_READABLE_BLOCK:]))
    write("fuzz_decoders", "page-GC-nbr-of-fc-99999",
          one_page("GC", field(first["G"], GC_NBR_OF_FC, 10, b"0000099999")))
    write("fuzz_decoders", "page-SQL-length-negative",
          one_page("SQL", field(first["S"], 0, 10, b"-000000001")))
    write("fuzz_decoders", "page-SQL-nul-statements", one_page("SQL", b"0000000004\0\0\0\0" * 4))


def decoders_seeds(records):
    page_seeds(records)
    pages = [p for _, _, p in records]
    write("fuzz_decoders", "sample-all-files", scripted(pages[:24]))
    cx, gc, end = pages[0], pages[1], pages[2]
    files = [pages[3:6], pages[6:9]]
    two = [cx, field(gc, GC_NBR_OF_FC, 10, b"0000000002"), end] + files[0] + files[1]
    write("fuzz_decoders", "two-files", scripted(two))
    write("fuzz_decoders", "nul-padded-pages", scripted(two, pad=b"\0"))
    for label, count in [("32767", b"0000032767"), ("minus-1", b"-000000001"),
                         ("99999", b"0000099999"), ("hex-ffff", b"&HFFFF    "),
                         ("blank", b"          ")]:
        write("fuzz_decoders", "nbr-of-fc-" + label,
              scripted([cx, field(gc, GC_NBR_OF_FC, 10, count), end] + files[0]))
        fc = field(files[0][0], FC_NBR_OF_ZC, 10, count)
        write("fuzz_decoders", "nbr-of-zc-" + label,
              scripted([cx, field(gc, GC_NBR_OF_FC, 10, b"1"), end, fc] + files[0][1:]))
    for label, offset in [("negative", b"-000000100"), ("2-pow-31", b"2147483648"),
                          ("max-position", b"0099998976"), ("huge", b"1E10      ")]:
        write("fuzz_decoders", "end-offset-" + label,
              scripted([cx, field(gc, GC_END_OFFSET, 10, offset), end]))
        fc = field(files[0][0], FC_INSERT_OFFSET, 10, offset)
        write("fuzz_decoders", "insert-offset-" + label,
              scripted([cx, field(gc, GC_NBR_OF_FC, 10, b"1"), end, fc] + files[0][1:]))
    sql = files[0][2]
    for label, length in [("negative", b"-000000001"), ("huge", b"0001000000"),
                          ("past-2-pow-31", b"9999999999")]:
        write("fuzz_decoders", "sql-length-" + label,
              scripted([cx, field(gc, GC_NBR_OF_FC, 10, b"1"), end] + files[0][:2] +
                       [field(sql, 0, 10, length)]))
    dup = [cx, field(gc, GC_NBR_OF_FC, 10, b"2"), end] + files[0] + files[0]
    write("fuzz_decoders", "duplicate-ficid", scripted(dup))
    # Damaged user spaces, each shown whole with its anomalies reported.
    blank_fic = field(files[0][0], 1, 10, b" " * 10)
    write("fuzz_decoders", "blank-ficid-twice",
          scripted([cx, field(gc, GC_NBR_OF_FC, 10, b"2"), end, blank_fic] + files[0][1:] +
                   [blank_fic] + files[0][1:]))
    for label, count in [("decimals", b"1.5       "), ("exponent", b"1E0       "),
                         ("inner-blanks", b"0 0 0 0 01"), ("letters", b"1X        ")]:
        write("fuzz_decoders", "nbr-of-fc-" + label,
              scripted([cx, field(gc, GC_NBR_OF_FC, 10, count), end] + files[0]))
    write("fuzz_decoders", "nbr-of-zc-past-page",
          scripted([cx, field(gc, GC_NBR_OF_FC, 10, b"1"), end,
                    field(files[0][0], FC_NBR_OF_ZC, 10, b"0000000411")] + files[0][1:]))
    write("fuzz_decoders", "sql-length-past-page",
          scripted([cx, field(gc, GC_NBR_OF_FC, 10, b"1"), end] + files[0][:2] +
                   [field(sql, 0, 10, b"0000040000")]))
    write("fuzz_decoders", "end-length-disagrees",
          scripted([cx, field(field(gc, GC_NBR_OF_FC, 10, b"0"), GC_END_LENGTH, 10,
                               b"0000000001"), end]))
    several = [cx, field(field(gc, GC_NBR_OF_FC, 10, b"0000040000"), GC_END_LENGTH, 10,
                         b"&H10      "), end,
               field(files[0][0], FC_NBR_OF_ZC, 10, b"2.6       ")] + files[0][1:2] + \
              [field(sql, 0, 10, b"-7        ")] + files[0] + files[0]
    write("fuzz_decoders", "several-anomalies", scripted(several))
    write("fuzz_decoders", "empty-pages", scripted([b"", b"", b""]))
    write("fuzz_decoders", "blank-pages", scripted([b" " * 2000, b" " * 10000]))
    write("fuzz_decoders", "nul-pages", scripted([b"\0" * 2000, b"\0" * 10000], pad=b"\0"))
    write("fuzz_decoders", "short-pages", scripted([b"CV05R", b"G00", b"E"]))
    write("fuzz_decoders", "all-bytes", scripted([bytes(range(1, 256)) * 8] * 2))
    write("fuzz_decoders", "name-lower-case-blanks",
          scripted([cx, gc], name=b"  twmodel001 "))
    write("fuzz_decoders", "name-9-characters", scripted([cx], name=b"TWMODEL01"))
    write("fuzz_decoders", "blank-address", scripted([cx], address=b"   "))


def saved_userspace_seeds(records):
    whole = SAMPLE.read_bytes()
    for damaged in ("DAMAGED001", "DAMAGED002"):
        write("fuzz_saved_userspace", "damaged-model-" + damaged[-3:],
              (ROOT / "tests" / "data" / "store" / "10.0.0.9" / (damaged + ".twus")).read_bytes())
    write("fuzz_saved_userspace", "sample", whole)
    write("fuzz_saved_userspace", "three-files", twus(records[:12]))
    write("fuzz_saved_userspace", "truncated-in-page", whole[:700])
    write("fuzz_saved_userspace", "truncated-in-header", whole[:9])
    write("fuzz_saved_userspace", "bad-header", b"TWUSRSPC PAGES 2\n" + whole[17:400])
    write("fuzz_saved_userspace", "not-a-saved-file", b"REGEDIT4\r\n")
    write("fuzz_saved_userspace", "empty", b"")
    small = twus(records[:3])
    write("fuzz_saved_userspace", "length-past-end",
          small.replace(b"C 00001024 249", b"C 00001024 99999999999999999999", 1))
    write("fuzz_saved_userspace", "length-one-short",
          small.replace(b"C 00001024 249", b"C 00001024 248", 1))
    write("fuzz_saved_userspace", "comments-and-blank-lines",
          b"TWUSRSPC PAGES 1\n\n# note\n\n" + twus(records[:2], header=b"") + b"#")
    write("fuzz_saved_userspace", "duplicate-records", twus(records[:2] + records[:2]))
    write("fuzz_saved_userspace", "nul-and-high-bytes",
          twus([(b"C", 1024, bytes(range(256)) * 2), (b"G", 1024, b"\0" * 973)]))
    write("fuzz_saved_userspace", "crlf-record-lines",
          small.replace(b"\n", b"\r\n"))


def catalogue_seeds():
    for lang in ("EN", "FR"):
        write("fuzz_catalogue", "catalogue-" + lang,
              (ROOT / "data" / ("twmgr.ressource." + lang)).read_bytes())
    seeds = {
        "empty": b"",
        "blank-lines": b"\r\n\r\n\r\n",
        "no-id": b"5401\tField name\r\nField name\r\n5402\tData\r\n",
        "out-of-range": b"10001\tToo far\r\n",
        "negative-id": b"-1\tMinus\r\n-0\tZero\r\n",
        "no-tab": b"5401\r\n5402\tData\r\n",
        "placeholders": b"5301\tConnection failed to &1: &2 &3&4&5&6&7 &8 && &&1 &\r\n",
        "cr-only": b"5401\tField name\r5402\tData\r",
        "lf-inside-text": b"5401\tField\nname\r\n",
        "blanks-and-remark": b" 5401 \t  Field name  \tremark\r\n",
        "fraction-id": b"5401.75\tFractional\r\n.5\tHalf\r\n5.\tFive\r\n",
        "duplicate-id": b"5401\tFirst\r\n5401\tSecond\r\n",
        "high-bytes-and-nul": b"5601\tFile N\xb0 :\r\n5602\ta\0b\r\n",
        "huge-id": b"99999999999999999999\tHuge\r\n",
    }
    for name, data in seeds.items():
        write("fuzz_catalogue", name, data)


def registry_seeds():
    settings = b"[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings]\r\n"
    seeds = {
        "language-string": b"REGEDIT4\r\n\r\n" + settings + b"\"Language\"=\"FR\"\r\n",
        "language-expand": b"REGEDIT4\r\n\r\n" + settings + b"\"Language\"=hex(2):45,4e,00\r\n",
        "string-without-nul": b"REGEDIT4\r\n" + settings + b"\"Language\"=hex(1):46,52\r\n",
        "empty-string": b"REGEDIT4\r\n" + settings + b"\"Language\"=hex(2):\r\n",
        "dword-and-binary": b"REGEDIT4\r\n" + settings +
        b"\"Count\"=dword:0000000c\r\n\"Bin\"=hex:01,02\r\n@=hex(7):61,00,00\r\n",
        "unknown-types": b"REGEDIT4\r\n" + settings +
        b"\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n\"Big\"=hex(ffffffff):00\r\n",
        "continued-lines": b"REGEDIT4\r\n" + settings +
        b"\"Wrapped\"=hex(2):45,\\\r\n  4e,00\r\n\"Tail\"=hex:01,\\\r\n",
        "malformed": b"REGEDIT4\r\n\"Orphan\"=\"x\"\r\n[HKEY_CURRENT_USER\\A\r\n"
        b"\"Bad\"=\"a\\nb\"\r\n\"BadHex\"=hex(2):4g\r\n\"D\"=dword:123456789\r\ngarbage\r\n",
        "quotes-and-backslashes": b"REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n"
        b"\"a\\\"b\\\\c\"=\"C:\\\\TW\\\\DATA \\\"x\\\"\"\r\n",
        "other-hive-and-lf": b"REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"w\"\n[HKEY_CURRENT_USER\\K]\n"
        b"\"V\"=\"u\"\n",
        "empty": b"",
        "no-header": settings + b"\"Language\"=\"EN\"\r\n",
        "duplicate-values": b"REGEDIT4\r\n" + settings + b"\"Language\"=\"A\"\r\n" + settings +
        b"\"LANGUAGE\"=\"B\"\r\n",
    }
    for name, data in seeds.items():
        write("fuzz_registry", name, data)


def registry_writer_seeds():
    """Hive files in both forms for the writer: line ends, continuations, UTF-16."""
    settings = b"[HKEY_CURRENT_USER\\SOFTWARE\\Vellmar\\Vellmar Lumen\\Manager\\Settings]"
    version5 = ("Windows Registry Editor Version 5.00\r\n\r\n" + settings.decode() + "\r\n"
                "\"Language\"=\"FR\"\r\n\"Accents\"=\"\u00e9\u20ac\"\r\n"
                "\"Greek\"=\"\u03a9\"\r\n\"Path\"=hex(2):25,00,e9,00,\\\r\n  00,00\r\n"
                "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Caf\u00e9]\r\n@=dword:00000001\r\n")
    seeds = {
        "regedit4-crlf": b"REGEDIT4\r\n\r\n" + settings + b"\r\n\"Language\"=\"FR\"\r\n"
        b"\"Bin\"=hex:01,\\\r\n  02\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Other]\r\n\"V\"=\"w\"\r\n",
        "regedit4-lf-no-final-line-end": b"REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"V\"=hex(7):61,\\\n"
        b"  00,00\n\"Mixed\"=\"crlf\"\r\n\"Last\"=\"x\"",
        "dangling-continuation": b"REGEDIT4\r\n" + settings + b"\r\n\"Bin\"=hex:01,\\",
        "version5-utf16": b"\xff\xfe" + version5.encode("utf-16-le"),
        "utf16-without-byte-order-mark": version5.encode("utf-16-le"),
    }
    for name, data in seeds.items():
        write("fuzz_registry_writer", name, data)


def command_line_seeds():
    seeds = {
        "address-and-name": b"127.0.0.1/TWMODEL001",
        "split-argument": b"127.0.0.1\0/\0TWMODEL001",
        "export-to-stdout": b"--export\0--output\0-\0127.0.0.1/TWMODEL001",
        "options-with-equals": b"--store=/tmp/s\0--hostlink=/lib/x.so\0a/b/c",
        "double-dash": b"--\0--help\0a/b",
        "missing-value": b"--store",
        "empty-value": b"--output=\0--export\0a/b",
        "unknown-option": b"-x\0--exporter\0--help=1",
        "output-without-export": b"--output\0f\0a/b",
        "help-and-version": b"--version\0--help",
        "lone-dash": b"-\0/",
        "empty": b"",
        "nul-only": b"\0\0\0",
    }
    for name, data in seeds.items():
        write("fuzz_command_line", name, data)


def export_seeds():
    """fuzz_export inputs: mode, the user-space name, the DataPath or file."""
    chosen_file, reg_sz, reg_expand_sz, reg_dword = 1, 2, 4, 6
    seeds = {
        "datapath-beside": (reg_sz, b"TWMODEL001", b"DATA"),
        "datapath-folder": (reg_sz, b"TWMODEL001", b"../DATA"),
        "datapath-absolute": (reg_expand_sz, b"TWMODEL001", b"/DATA"),
        "datapath-no-separator": (reg_sz, b"TWMODEL001", b"../xDATA"),
        "datapath-missing": (0, b"TWMODEL001", b""),
        "datapath-short": (reg_sz, b"TWMODEL001", b"abc"),
        "datapath-dword": (reg_dword, b"TWMODEL001", b"\x39\x30\x00\x00"),
        "datapath-missing-folder": (reg_sz, b"TWMODEL001", b"missing/DATA"),
        "datapath-windows": (reg_sz, b"TWMODEL001", b"C:\\Tidewell\\DATA"),
        "datapath-drive-relative": (reg_sz, b"TWMODEL001", b"d:DATA"),
        "datapath-nul": (reg_sz, b"TWMODEL001", b"x\0yDATA"),
        "datapath-nul-in-folder": (reg_sz, b"TWMODEL001", b"../d8\0/DATA"),
        "datapath-long": (reg_sz, b"TWMODEL001", b"a" * 300 + b"/DATA"),
        "datapath-dot-dots": (reg_sz, b"TWMODEL001", b"../" * 9 + b"DATA"),
        "name-slash": (reg_sz, b"TW/MODEL01", b"DATA"),
        "name-backslash": (reg_sz, b"TW\\MODEL01", b"DATA"),
        "name-nul": (reg_sz, b"TW\0MODEL01", b"DATA"),
        "name-dot-dot": (reg_sz, b"..", b"DATA"),
        "name-blank": (reg_sz, b"   ", b"DATA"),
        "name-long": (reg_sz, b"N" * 300, b"DATA"),
        "file-plain": (chosen_file, b"TWMODEL001", b"out.usrspc"),
        "file-link": (chosen_file, b"TWMODEL001", b"link.usrspc"),
        "file-existing": (chosen_file, b"TWMODEL001", b"target.usrspc"),
        "file-folder": (chosen_file, b"TWMODEL001", b".."),
        "file-empty": (chosen_file, b"TWMODEL001", b""),
        "file-nul": (chosen_file, b"TWMODEL001", b"out\0.usrspc"),
        "file-trailing-slash": (chosen_file, b"TWMODEL001", b"out/"),
    }
    for name, (mode, user_space, value) in seeds.items():
        write("fuzz_export", name, bytes([mode]) + escaped(user_space) + value)


def field_number_seeds():
    seeds = ["   12     ", "0000000003", "2.5", "3.5", "-2.5", "&HFFFF", "&HFFFFFFFF",
             "&H100000000", "&O177777", "&o37777777777", "&H", "&Z", "1E3", "1D2", "1E",
             "1e-400", "1E400", "-1", "32767", "32768", "-32768", "99999", "2147483647",
             "2147483648", "-2147483649", "1 2", "\t1\n2", ".5", "5.", "+.5E+1", "abc",
             "          ", "\0\0\0", "1\0" "2", "0.000000000000000000001", "1.5e1 0"]
    for i, text in enumerate(seeds):
        write("fuzz_field_number", "seed-%02d" % i, text)


if __name__ == "__main__":
    records = sample_records()
    decoders_seeds(records)
    saved_userspace_seeds(records)
    catalogue_seeds()
    registry_seeds()
    registry_writer_seeds()
    command_line_seeds()
    export_seeds()
    field_number_seeds()
