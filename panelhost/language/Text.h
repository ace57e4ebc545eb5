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

// The lines of `text`: the pieces between line feeds, none after a last line
// feed (so an empty text has none); with `keepFeeds` each keeps its own.
std::vector<std::string> splitLines(const std::string& text, bool keepFeeds = false);

// Decodes one scenario text: verbatim, or double-quoted with escapes. False,
// with a reason, for a quoted text that is not closed, has text after it, or holds
// an unknown escape; `errorAt` (when given) is then the offset in `token` to blame.
bool decodeText(const std::string& token, std::string& out, std::string& error,
                std::size_t* errorAt = nullptr);

// The scenario form of `text`: verbatim where that reads back the same, quoted
// with escapes otherwise (empty, outer blanks, any byte outside printable ASCII,
// a leading quote, or a text that would read as a keyword such as "none"). What
// a transcript shows in this form can be pasted back into a scenario.
std::string encodeText(const std::string& text);

// Every byte outside printable ASCII as \xHH, for names and messages that carry
// bytes from a scenario or a component.
std::string printable(const std::string& text);
// The same, cut after `limit` bytes with "..." (a word quoted in a message).
std::string clipped(const std::string& text, std::size_t limit = 40);

// The escape \xHH of one byte, as scenarios and reports write it.
std::string hexEscape(char c);

// Always quoted with escapes (bytes outside printable ASCII as \xHH).
std::string quoted(const std::string& text);

// Reads a whole file into `out`; false, with a reason, when it cannot be read.
bool readWholeFile(const std::string& path, std::string& out, std::string& error);

// Reads a decimal integer of the whole text, optional minus sign.
enum class NumberRead { Ok, NotANumber, OutOfRange };
NumberRead readInt(const std::string& text, int& out);
// The same, true only for a number inside int.
bool parseInt(const std::string& text, int& out);

// `text` in scenario form; when longer than `limit`, only a window of `limit`
// characters around position `around`, quoted, with "..." where text is left out
// and the whole length after it.
std::string shortened(const std::string& text, std::size_t around, std::size_t limit = 120);
// The position of the first character where `a` and `b` differ (the shorter
// length when one begins the other).
std::size_t firstDifference(const std::string& a, const std::string& b);

// The number of single-character edits (insert, delete, replace) between two
// short words: how near a name is to one that was meant.
std::size_t editDistance(const std::string& a, const std::string& b);
