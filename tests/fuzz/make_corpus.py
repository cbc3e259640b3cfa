#!/usr/bin/env python3
"""Writes the seed corpus of each fuzzer into corpus/<fuzzer>/, one small file per seed.

The seeds are committed; run this again after changing the lists below. Existing seed files of
the same name are overwritten, others are left alone.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(fuzzer, name, data):
    folder = os.path.join(HERE, "corpus", fuzzer)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# Text to number and date: valid and invalid numbers, ranges, blanks, Thai digits and dates.
CONVERSIONS = {
    "zero": "0",
    "int_max": "2147483647",
    "int_min": "-2147483648",
    "int_over": "2147483648",
    "int64_max": "9223372036854775807",
    "int64_min": "-9223372036854775808",
    "int64_over": "9223372036854775808",
    "hex_dollar": "$1F",
    "hex_negative": "-$10",
    "hex_0x": "0x7fffffff",
    "hex_bit_pattern": "$FFFFFFFF",
    "hex_empty": "0x",
    "plus_sign": "+42",
    "double_sign": "--1",
    "blanks": " \t 12 \r\n",
    "no_break_space": "\u00a012",
    "thai_digits": "\u0e51\u0e52\u0e53",
    "fullwidth_digits": "\uff11\uff12",
    "thousands": "1,000",
    "inner_space": "1 000",
    "float_simple": "1.5",
    "float_point_first": ".5",
    "float_point_last": "5.",
    "float_exponent": "-2.5E16",
    "float_exponent_missing": "1e",
    "float_exponent_only": "e5",
    "float_max": "1.7976931348623157E308",
    "float_overflow": "1.8e308",
    "float_denormal": "5E-324",
    "float_underflow": "1e-400",
    "float_long_mantissa": "0.1000000000000000055511151231257827021181583404541015625",
    "float_negative_zero": "-0",
    "float_huge_exponent": "1e99999999999",
    "date": "31/12/2024",
    "date_leap": "29/02/2024",
    "date_not_leap": "29/02/2023",
    "date_invalid_day": "31/02/2024",
    "date_short": "1/1/24",
    "date_one_digit_year": "5/6/7",
    "date_first": "01/01/0001",
    "date_last": "31/12/9999",
    "date_year_zero": "01/01/0000",
    "date_three_digit_year": "1/1/202",
    "date_buddhist_year": "15/06/2567",
    "date_thai_digits": "\u0e51\u0e55/\u0e50\u0e56/\u0e52\u0e55\u0e56\u0e57",
    "date_iso": "2024-12-31",
    "date_blanks": "  7/ 8/2024",
    "date_trailing_slash": "1/1/2024/",
    "empty": "",
    "blank": " ",
    "word": "abc",
    "thai_word": "\u0e2b\u0e19\u0e36\u0e48\u0e07\u0e23\u0e49\u0e2d\u0e22",
    "percent": "%1 %2",
    "nan": "NaN",
    "inf": "inf",
    "hex_float": "0x1p3",
}

# Pattern formatter: a double followed by the pattern text.
FORMAT = [
    ("money", 1234567.891, "#,##0.00"),
    ("money_negative", -1234.5, "#,##0.00;(#,##0.00)"),
    ("three_sections", 0.0, "0.00;-0.00;'zero'"),
    ("rounds_to_zero", -0.004, "0.00;(0.00);nil"),
    ("half_up", 2.675, "0.00"),
    ("optional_decimals", 0.5, "#.##"),
    ("many_decimals", 1 / 3, "0." + "0" * 40),
    ("scientific", 12345.678, "0.00E+00"),
    ("scientific_small", 1.5e-10, "#.###e-0000"),
    ("scientific_no_places", 7.0, "E+"),
    ("quoted", 42.0, "'Total: '#,##0' THB'"),
    ("double_quoted", 42.0, '"#";0'),
    ("unclosed_quote", 3.0, "'abc"),
    ("thai_literal", 1500.0, "#,##0.00 \u0e1a\u0e32\u0e17"),
    ("huge", 1e20, "#,##0"),
    ("just_below_1e18", 999999999999999872.0, "0"),
    ("denormal", 5e-324, "0.00"),
    ("max", 1.7976931348623157e308, "0.00E+0"),
    ("nan", math.nan, "0.00"),
    ("infinity", math.inf, "#"),
    ("minus_infinity", -math.inf, "0"),
    ("empty_pattern", 0.1, ""),
    ("literal_only", 5.0, "abc"),
    ("extra_points", 1.25, "0.0.0"),
    ("comma_after_point", 1234.5678, "0.0,0"),
    ("only_semicolons", -1.0, ";;;"),
    ("integer_overflow_places", 123456789.0, "0"),
    ("negative_zero", -0.0, "0.0;(0.0)"),
]

# Thai amount words: amount, decimals, number, digit and flags, unit fraction, on-hand decimals,
# then "large|small|left|right" unit names.
THAI = [
    ("one_baht", 1.0, 0, 1, 0x03, 12, 0, "กล่อง|ชิ้น|(|)"),
    ("satang", 123.45, 2, 123, 0x13, 1, 2, "โหล|ชิ้น||"),
    ("negative", -123.45, 2, -123, 0x23, 0, 0, "Box|Piece|[|]"),
    ("half_rounding", 2.675, 2, 21, 0x0b, 6, 3, "แพ็ค|ขวด"),
    ("eleven", 11.0, 0, 11, 0x01, 10, 0, ""),
    ("twenty_one", 21.0, 0, 21, 0x12, 24, 6, "ลัง|กระป๋อง"),
    ("million_and_one", 1000001.0, 0, 1000001, 0x33, 100, 1, "a|b"),
    ("trillion", 1e12, 0, 1000000000000, 0x04, 1000, 0, ""),
    ("below_2_63", 9223372036854774784.0, 0, 9223372036854775807, 0x0f, 2, 0, ""),
    ("at_2_63", 9223372036854775808.0, 0, -9223372036854775808, 0x0e, -5, 0, ""),
    ("nan", math.nan, 2, 0, 0x00, 0, 0, ""),
    ("infinity", math.inf, 2, -1, 0x3f, 3, 0, ""),
    ("tiny", 1e-300, 18, 5, 0x05, 7, 18, ""),
    ("many_decimals", 1.5, 3, 100, 0x05, 3, -1, "x|y"),
    ("decimals_out_of_range", 0.125, 99, 2, 0x06, 8, 0, ""),
    ("decimals_negative", 0.5, -3, 20, 0x07, 9, 0, ""),
    ("zero", 0.0, 2, 0, 0x08, 0, 0, ""),
    ("negative_zero", -0.0, 2, 10, 0x09, 1, 0, ""),
    ("rounds_to_zero", -0.004, 2, 101, 0x0a, 1, 0, ""),
    ("max_double", 1.7976931348623157e308, 2, 110, 0x0c, 1, 0, ""),
    ("denormal", 5e-324, 18, 111, 0x0d, 1, 0, ""),
    ("twenty_million", 20000000.0, 0, 20000000, 0x22, 12, 0, ""),
    ("odd_fraction", 37.5, 1, 1000010, 0x13, 12, 4, "โหล|ชิ้น|<|>"),
]

# Named-parameter binder: statements of the program's kind and the tricky cases.
NAMEDPARAMS = {
    "simple": "Select * From Product Where Code = :Code",
    "repeated": "Select * From T Where A = :Code Or B = :code Or C = :CODE",
    "quoted": "Select ':NotAName' , \"col:Nope\" From T Where X = :Real",
    "doubled_quote": "Select 'it''s :not' , :Yes",
    "bracketed": "Select [Col :Name] From [T:x] Where y = :y",
    "line_comment": "Select 1 -- :NotAName\nWhere a = :A",
    "line_comment_cr": "Select 1 -- :NotAName\rWhere a = :A",
    "block_comment": "Select /* :No\n :Nope */ :Yes",
    "unclosed_block": "Select :A /* :B",
    "unclosed_quote": "Select :A, ':B",
    "unclosed_bracket": "Select :A, [:B",
    "double_colon": "Select a::int, ::fn(), :b",
    "triple_colon": ":::a",
    "colon_digit": "Select :1, :_x, :x1_2",
    "question_marks": "Select ? , :A , '?' , ?",
    "adjacent": ":a:b:c",
    "colon_at_end": "Select :",
    "thai_name": "Select :ชื่อ , :รหัส",
    "thai_text": "Select 'สินค้า :ไม่ใช่' , :Price From สินค้า",
    "exec": "Exec SaveConsignment :DocNo, :DocDate, :CusCode, :UserName",
    "empty": "",
    "comment_markers_in_quote": "Select '--', :A, '/*', :B, '*/'",
    "slash_star_inside_comment": "-- /* \n:A */ :B",
}


def main():
    for name, text in CONVERSIONS.items():
        write("fuzz_conversions", name, text)
    for name, value, pattern in FORMAT:
        write("fuzz_formatfloat", name, struct.pack("<d", value) + pattern.encode("utf-8"))
    for name, amount, decimals, number, flags, fraction, onhand, names in THAI:
        data = struct.pack("<diqBqb", amount, decimals, number, flags, fraction, onhand)
        write("fuzz_thaiwords", name, data + names.encode("utf-8"))
    for name, text in NAMEDPARAMS.items():
        write("fuzz_namedparams", name, text)
    # The program's own statements.
    statements = os.path.join(HERE, "..", "golden", "statements")
    if os.path.isdir(statements):
        for entry in sorted(os.listdir(statements)):
            with open(os.path.join(statements, entry), "rb") as f:
                write("fuzz_namedparams", "statement_" + os.path.splitext(entry)[0], f.read())


if __name__ == "__main__":
    main()
