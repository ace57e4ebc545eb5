// The reading of a number out of a host reply word: like atoi (leading blanks, an
// optional sign, then digits; 0 without digits), but a number beyond the int range
// is clamped to INT_MIN or INT_MAX instead of wrapping, so that an overlong
// reply can never turn into a small, valid-looking device number.
#pragma once

int clamped_atoi(const char* text);
