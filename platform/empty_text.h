// The one constant empty text that every unset pointer of the parsers shares, so
// that no parsed field is ever null and an unset field costs no allocation.
#pragma once

char* tarn_empty_text();
