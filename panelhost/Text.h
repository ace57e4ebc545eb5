// Text helpers shared by the scenario language, the layout reader and the
// transcript: trimming, and the one way texts are written in scenarios, where a
// text is taken verbatim unless it is enclosed in double quotes, in which case
// the C escapes \n \t \r \\ \" \xHH are decoded (so a text can be empty, keep
// its outer blanks, or hold a line feed).
#pragma once

#include <string>
#include <vector>

std::string trim(const std::string& text);
bool isBlank(char c);

// Decodes one scenario text: verbatim, or double-quoted with escapes. False,
// with a reason, for a quoted text that is not closed or has text after it.
bool decodeText(const std::string& token, std::string& out, std::string& error);

// The scenario form of `text`: verbatim where that reads back the same, quoted
// with escapes otherwise (empty, outer blanks, control characters, a leading
// quote, or a text that would read as a keyword such as "none").
std::string encodeText(const std::string& text);

// Always quoted with escapes, for showing texts in transcripts.
std::string quoted(const std::string& text);

// Reads a whole file into `out`; false, with a reason, when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out, std::string& error);

// Parses a decimal integer of the whole text, optional minus sign; false for
// anything else or a value outside int.
bool parseInt(const std::string& text, int& out);
