#pragma once

#include <QString>

// Money amounts in Thai words, as written on cheques, receipts and tax invoices: the baht part in
// words, "บาท", then "ถ้วน" when there is no satang or the satang part in words and "สตางค์".
//
// Choices beyond the plain algorithm:
// - Negative numbers and amounts are written as "ลบ" (minus) followed by the words of their
//   absolute value: ThaiBahtText(-123.45, 2) is "ลบหนึ่งร้อยยี่สิบสามบาทสี่สิบห้าสตางค์". An
//   amount that rounds to zero at the decimals asked for gets no sign ("บาทถ้วน").
// - Numbers are 64-bit. Above 2,147,483,647 the words continue with the same "ล้าน" recursion
//   (1,000,000,000,000 is "หนึ่งล้านล้าน"); every 32-bit value reads as before.
// - An amount whose baht part does not fit a 64-bit integer (above 9,223,372,036,854,775,807),
//   and NaN or infinity, raise EConvertError: such an amount is never written wrongly.
// - Rounding is half away from zero on the decimal value the user sees, starting from the shortest
//   decimal text that reads back as the same double: 0.125 with two decimals is 0.13 and 2.675 is
//   2.68 (the 18-digit binary expansion 2.67499999... would have given 2.67).

// The word of a digit 1 to 9. With unitsForm, 1 gives "เอ็ด" (units after a tens word); with
// tensForm, 2 gives "ยี่" (two in the tens place). Any other digit, 0 included, has no word and
// gives the empty text.
QString ThaiDigitWord(int digit, bool unitsForm, bool tensForm);

// The Thai words of a whole number; 0 gives the empty text, a negative number "ลบ" and the words
// of its absolute value.
QString ThaiNumberWords(qint64 number);

// The full Thai text of an amount kept to `decimals` places (0 to 18; values outside are taken as
// the nearest of the two). An amount of exactly 0 gives the empty text. The digits after the point
// are read as one whole number, whatever their count: 1.5 with three decimals gives
// "หนึ่งบาทห้าร้อยสตางค์".
QString ThaiBahtText(double amount, int decimals);
