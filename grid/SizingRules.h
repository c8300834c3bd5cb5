#pragma once
// The fixed-factor size rules of edit and upload fields, in integer arithmetic.
//
// The character width of a field without measured fonts is 0.615 times the
// font size, and the height of an upload field is 1.15 times the font size.
// The factors were stored just below their decimal values and the products
// truncated, so a product that is a whole number loses one: font 20 and 10
// characters give 6 + 122 = 128, font 20 gives an upload field 8 + 22 = 30
// high. These helpers compute that exactly on the decimal values, for every
// place that applies the rules (sizing, drawing, the object writer).

// 6 + the truncated product of font size, characters and 0.615 (one less
// when the product is whole).
int FixedFactorFieldWidth(int fontSize, int characters);
// 8 + the truncated product of font size and 1.15 (one less when whole).
int UploadFieldHeight(int fontSize);
