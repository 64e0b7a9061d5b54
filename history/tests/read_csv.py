# Reads a CSV file the way a spreadsheet user's script would and prints its records as JSON.
import csv
import json
import sys

with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    rows = list(csv.reader(f, strict=True))
json.dump(rows, sys.stdout, ensure_ascii=True)
