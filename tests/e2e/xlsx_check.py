"""Reads a workbook that zevdt wrote, with openpyxl, as a spreadsheet user's
program would, and checks its values and their types.

  xlsx_check.py report BOOK.xlsx REPORT.csv TYPES   the drilled report against
      the CSV of the same drill; TYPES has a letter per column: d date,
      i integer, n decimal, t text
  xlsx_check.py edge BOOK.xlsx                      xlsx_edge_writer's workbook
"""
import csv
import datetime
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def fail(message):
    sys.exit("xlsx_check: " + message)


def check_sheet(sheet, names, rows):
    """The header (bold, frozen, filtered) and the cells under it."""
    header = [cell.value for cell in sheet[1]]
    if header != names:
        fail(f"{sheet.title}: header {header}, expected {names}")
    if not all(cell.font.b for cell in sheet[1]):
        fail(f"{sheet.title}: the header is not bold")
    if sheet.freeze_panes != "A2":
        fail(f"{sheet.title}: frozen at {sheet.freeze_panes}, not below the header")
    want_filter = f"A1:{get_column_letter(len(names))}{len(rows) + 1}"
    if sheet.auto_filter.ref != want_filter:
        fail(f"{sheet.title}: autofilter {sheet.auto_filter.ref}, expected {want_filter}")
    if sheet.max_row != len(rows) + 1:
        fail(f"{sheet.title}: {sheet.max_row - 1} rows, expected {len(rows)}")
    for r, want_row in enumerate(rows, start=2):
        for c, want in enumerate(want_row, start=1):
            cell = sheet.cell(row=r, column=c)
            got = cell.value
            same_type = type(got) is type(want) or (isinstance(want, float) and isinstance(got, int))
            if got != want or not same_type or (isinstance(want, datetime.datetime) and not cell.is_date):
                fail(f"{sheet.title}!{cell.coordinate}: {got!r} ({type(got).__name__}), expected {want!r}")


def expected_from_csv(text, kind):
    if text == "":
        return None
    if kind == "d":
        return datetime.datetime.strptime(text, "%Y-%m-%d")
    if kind == "i":
        return int(text)
    if kind == "n":
        return float(text)
    return text


def check_report(book_path, csv_path, kinds):
    # zevdt wrote it with --encoding utf-8: UTF-8 after a BOM.
    with open(csv_path, newline="", encoding="utf-8-sig") as f:
        records = list(csv.reader(f))
    names, data = records[0], records[1:]
    if len(kinds) != len(names):
        fail(f"{len(names)} columns in the CSV, {len(kinds)} types given")
    rows = [[expected_from_csv(text, kind) for text, kind in zip(row, kinds)] for row in data]
    book = openpyxl.load_workbook(book_path)
    if book.sheetnames != ["Report"]:
        fail(f"sheets {book.sheetnames}")
    check_sheet(book["Report"], names, rows)
    print(f"{book_path}: {len(rows)} rows, types {kinds}, the same values as {csv_path}")


def check_edge(book_path):
    d = datetime.datetime
    names = ["Datum", "Město", "Počet", "Částka", "Poznámka"]
    # Numbers beyond 15 digits, dates a sheet cannot show and texts that only
    # look like values stay text; missing values are blank cells.
    rows = [
        [d(2024, 2, 29), "Plzeň", 12, -0.5, "a,b"],
        ["2023-02-29", "東京", "1234567890123456", 18.4, None],
        ["1899-12-31", "Kraków", -7, "1e3", "42"],
        [None, "tab\there", 3, 0.5, "y"],
        ["2024-13-01", "<&>", 7, 12345678901234.5, "z"],
        [d(2024, 1, 31), " lead", "1.0", 1e-18, None],
        [d(9999, 12, 31), "last", 0, 0.0, "end"],
    ]
    book = openpyxl.load_workbook(book_path)
    if book.sheetnames != ["Report", "Report (2)", "Report (3)"]:
        fail(f"sheets {book.sheetnames}, expected three of at most three rows")
    for sheet, part in zip(book.worksheets, (rows[0:3], rows[3:6], rows[6:7])):
        check_sheet(sheet, names, part)
    print(f"{book_path}: 7 rows in 3 sheets, every cell of the expected value and type")


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "report":
        check_report(sys.argv[2], sys.argv[3], sys.argv[4])
    elif len(sys.argv) == 3 and sys.argv[1] == "edge":
        check_edge(sys.argv[2])
    else:
        fail(__doc__)
