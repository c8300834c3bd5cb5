#pragma once
// The size rules of fields and buttons on the design surface, in integer
// arithmetic, for every place that applies them (sizing, drawing, the object
// writer).
//
// The character width of a field without measured fonts is 0.615 times the
// font size, and the height of an upload field is 1.15 times the font size.
// The factors were stored just below their decimal values and the products
// truncated, so a product that is a whole number loses one: font 20 and 10
// characters give 6 + 122 = 128, font 20 gives an upload field 8 + 22 = 30
// high. FixedFactorFieldWidth and UploadFieldHeight compute that exactly on
// the decimal values.

// 6 + the truncated product of font size, characters and 0.615 (one less
// when the product is whole).
int FixedFactorFieldWidth(int fontSize, int characters);
// 8 + the truncated product of font size and 1.15 (one less when whole).
int UploadFieldHeight(int fontSize);
// The height of an edit field without measured fonts: the font size + 8.
int FixedFactorFieldHeight(int fontSize);

// A field sized from the measured digit "0" (edit fields with measured fonts,
// drop-down lists): `characters` digits + 10 wide, the digit's height + 6
// high with a border and + 4 without.
int MeasuredFieldWidth(int digitWidth, int characters);
int MeasuredFieldHeight(int digitHeight, bool border);

// The smallest submit button around its caption: 24 wider and 12 higher.
int SubmitMinWidth(int captionWidth);
int SubmitMinHeight(int captionHeight);
