// Fuzzes the framework string classes as a small program: each input line is
// one operation on a current string S and a current list L, mirrored on a
// std::string and a std::vector that a plain reference keeps. After every
// operation both sides must agree. Operations (first byte of the line; the rest
// is the operand):
//   s  S = operand             S  S = tarn_string(operand)     k  copies of S
//   +  S += operand            T  S += tarn_string(operand)    *  S += S
//   c  S + operand, operand + S and S + S
//   a  S = S.arg(operand)      n  S = S.arg(number)            N  S = tarn_string(number)
//      (a number operand is "<fill byte><value> <width> <base>")
//   i  toInt, operator int and == int      e  ==, != with operand
//   p  S.split(operand[0]) into others and into S itself
//   l  L = tarn_stringlist(S, operand[0])  j  S = L.toString(operand[0])
//   <  L << S     @  L << L[operand]       [  read and write L[operand], in range or not
//   C  copies of L                         I  iteration over L
#include "fuzz_input.h"
#include "tarn_string.h"
#include "tarn_stringlist.h"

#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// Keeps the program's texts small enough that doubling them stays cheap.
const std::size_t LongestText = 1 << 16;
const std::size_t LongestList = 4096;
const long long WidestNumber = 4096;

int toIntReference(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 1LL << 32) {
            break;
        }
    }
    const long long value = negative ? -magnitude : magnitude;
    return value < INT_MIN ? INT_MIN : value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string numberReference(int value, char fill, unsigned int width, int base) {
    if (base < 2 || base > 36) {
        base = 10;
    }
    long long magnitude = value < 0 ? -static_cast<long long>(value) : value;
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);
    const char pad = fill == '\0' ? ' ' : fill;
    const std::size_t used = digits.size() + (value < 0 ? 1 : 0);
    const std::string padding(width > used ? width - used : 0, pad);
    if (value < 0) {
        return fill == '0' ? "-" + padding + digits : padding + "-" + digits;
    }
    return padding + digits;
}

std::string argReference(const std::string& text, const std::string& value) {
    char lowest = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const char digit = text[i + 1];
        if (text[i] == '%' && digit >= '1' && digit <= '9' && (lowest == 0 || digit < lowest)) {
            lowest = digit;
        }
    }
    if (lowest == 0) {
        return text;
    }
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == lowest) {
            result += value;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::vector<std::string> listReference(const std::string& text, char separator) {
    std::vector<std::string> entries;
    if (text.empty()) {
        return entries;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            entries.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return entries;
}

std::string joinReference(const std::vector<std::string>& entries, char separator) {
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i != 0) {
            text += separator;
        }
        text += entries[i];
    }
    return text;
}

void expectText(const tarn_string& actual, const std::string& expected, const char* what) {
    const char* text = actual;
    if (text == nullptr || actual.length() != expected.size() ||
        std::memcmp(text, expected.data(), expected.size()) != 0 || text[expected.size()] != 0) {
        fuzzFailure(what, "expected \"" + expected.substr(0, 200) + "\", got \"" +
                              std::string(text != nullptr ? text : "(null)").substr(0, 200) + "\"");
    }
}

void expectList(const tarn_stringlist& actual, const std::vector<std::string>& expected,
                const char* what) {
    if (actual.count() != static_cast<int>(expected.size())) {
        fuzzFailure(what, "count " + std::to_string(actual.count()) + ", expected " +
                              std::to_string(expected.size()));
    }
    // Read through the iterator: indexing is for lists the caller may write to.
    std::size_t i = 0;
    for (tarn_stringlistIterator it = actual.begin(); it != actual.end() && i < expected.size();
         ++it, ++i) {
        expectText(*it, expected[i], what);
    }
}

struct NumberOperand {
    int value;
    char fill;
    unsigned int width;
    int base;
};

// "<fill byte><value> <width> <base>", each part optional; "_" is the NUL fill.
NumberOperand numberOperand(const std::string& operand) {
    NumberOperand number = {0, 0, 0, 10};
    if (operand.empty()) {
        return number;
    }
    number.fill = operand[0] == '_' ? '\0' : operand[0];
    std::vector<std::string> fields(1);
    for (std::size_t i = 1; i < operand.size(); ++i) {
        if (operand[i] == ' ') {
            fields.emplace_back();
        } else {
            fields.back() += operand[i];
        }
    }
    fields.resize(3);
    number.value = static_cast<int>(numberIn(fields[0], INT_MIN, INT_MAX, 0));
    number.width = static_cast<unsigned int>(numberIn(fields[1], 0, WidestNumber, 0));
    number.base = static_cast<int>(numberIn(fields[2], INT_MIN, INT_MAX, 10));
    return number;
}

class Program {
public:
    void run(LineReader& lines) {
        while (!lines.done()) {
            const std::string line = lines.next();
            if (!line.empty()) {
                step(line[0], cText(line.substr(1)));
            }
            expectText(S, s, "S equals the reference");
            if (s.size() > LongestText) {
                S = "";
                s.clear();
            }
        }
        expectList(L, l, "L equals the reference");
    }

private:
    void step(char op, const std::string& operand) {
        const char separator = operand.empty() ? ',' : operand[0];
        switch (op) {
        case 's':
            S = operand.c_str();
            s = operand;
            break;
        case 'S':
            S = tarn_string(operand.c_str());
            s = operand;
            break;
        case '+':
            S += operand.c_str();
            s += operand;
            break;
        case 'T':
            S += tarn_string(operand.c_str());
            s += operand;
            break;
        case '*':
            S += S;
            s += s;
            break;
        case 'c':
            concatenate(operand);
            break;
        case 'a':
            S = S.arg(tarn_string(operand.c_str()));
            s = argReference(s, operand);
            break;
        case 'n': {
            const NumberOperand n = numberOperand(operand);
            S = S.arg(n.value, n.fill, n.width, n.base);
            s = argReference(s, numberReference(n.value, n.fill, n.width, n.base));
            break;
        }
        case 'N': {
            const NumberOperand n = numberOperand(operand);
            S = tarn_string(n.value, n.fill, n.width, n.base);
            s = numberReference(n.value, n.fill, n.width, n.base);
            break;
        }
        case 'i':
            convert(operand);
            break;
        case 'e':
            compare(operand);
            break;
        case 'p':
            split(separator);
            break;
        case 'l':
            replaceList(S, separator);
            l = listReference(s, separator);
            expectList(L, l, "the list constructor keeps every piece");
            expectText(L.toString(separator), s, "toString joins the pieces back");
            break;
        case 'j':
            S = L.toString(separator);
            s = joinReference(l, separator);
            break;
        case '<':
            if (l.size() < LongestList) {
                L << S;
                l.push_back(s);
            }
            break;
        case '@':
            appendOwnEntry(operand);
            break;
        case '[':
            index(operand);
            break;
        case 'C':
            copyList();
            break;
        case 'I':
            iterate();
            break;
        case 'k':
            copyString();
            break;
        default:
            break;
        }
    }

    void concatenate(const std::string& operand) {
        if (s.size() > LongestText / 2) {
            return;
        }
        expectText(S + operand.c_str(), s + operand, "string + text");
        expectText(operand.c_str() + S, operand + s, "text + string");
        expectText(S + S, s + s, "string + string");
        expectText(S + tarn_string(operand.c_str()), s + operand, "string + string");
        S = S + operand.c_str();
        s += operand;
    }

    void convert(const std::string& operand) {
        const int expected = toIntReference(s);
        if (S.toInt() != expected || static_cast<int>(S) != expected) {
            fuzzFailure("toInt equals the reference",
                        s.substr(0, 80) + " gave " + std::to_string(S.toInt()));
        }
        const int candidates[] = {expected,
                                  static_cast<int>(numberIn(operand, INT_MIN, INT_MAX, 0))};
        for (const int value : candidates) {
            if ((S == value) != (s == std::to_string(value))) {
                fuzzFailure("== int compares with the plain decimal text", s.substr(0, 80));
            }
        }
    }

    void compare(const std::string& operand) {
        const tarn_string other(operand.c_str());
        const bool equal = s == operand;
        if ((S == operand.c_str()) != equal || (S == other) != equal || (S != other) == equal) {
            fuzzFailure("comparisons are byte-wise", s.substr(0, 80) + " / " + operand);
        }
        if (!(S == S) || S != S) {
            fuzzFailure("a string equals itself", s.substr(0, 80));
        }
    }

    void split(char separator) {
        const std::size_t at = s.find(separator);
        const std::string before = s.substr(0, at);
        const std::string after = at == std::string::npos ? "" : s.substr(at + 1);
        const int found = at == std::string::npos ? 0 : 1;
        tarn_string first("stale first");
        tarn_string second("stale second, long enough for the heap");
        if (S.split(separator, first, second) != found) {
            fuzzFailure("split tells whether it found the separator", s.substr(0, 80));
        }
        expectText(first, before, "split: the text before the separator");
        expectText(second, after, "split: the text after the separator");

        tarn_string self(S);
        self.split(separator, self, second);
        expectText(self, before, "split into the string itself (before)");
        expectText(second, after, "split beside the string itself (after)");
        self = S;
        self.split(separator, first, self);
        expectText(first, before, "split beside the string itself (before)");
        expectText(self, after, "split into the string itself (after)");
    }

    void appendOwnEntry(const std::string& operand) {
        if (l.size() >= LongestList) {
            return;
        }
        const int position = static_cast<int>(numberIn(operand, INT_MIN, INT_MAX, 0));
        const bool inside = position >= 0 && position < static_cast<int>(l.size());
        const std::string entry = inside ? l[static_cast<std::size_t>(position)] : "";
        L << L[position];
        l.push_back(entry);
        expectList(L, l, "appending an entry of the list itself");
    }

    void index(const std::string& operand) {
        const int position = static_cast<int>(numberIn(operand, INT_MIN, INT_MAX, 0));
        const bool inside = position >= 0 && position < static_cast<int>(l.size());
        const std::size_t at = static_cast<std::size_t>(position);
        expectText(L[position], inside ? l[at] : "", "an entry, or empty outside the list");
        L[position] = S;
        if (inside) {
            l[at] = s;
        }
        expectText(L[position], inside ? s : "", "an entry written, or empty again outside");
        L[position] += tarn_string("written through the reference");
        if (inside) {
            l[at] += "written through the reference";
        }
        expectText(L[-1], "", "outside the list is empty after a write");
        expectList(L, l, "writes outside the list change nothing");
    }

    void copyList() {
        const tarn_stringlist copy(L);
        expectList(copy, l, "list copy");
        replaceList(copy);
        expectList(L, l, "a list made from a copy");
    }

    void iterate() {
        std::size_t i = 0;
        for (tarn_stringlistIterator it = L.begin(); it != L.end(); ++it, ++i) {
            if (i >= l.size()) {
                fuzzFailure("iteration stops at the end", std::to_string(i));
            }
            expectText(*it, l[i], "iteration gives the entries in order");
        }
        if (i != l.size()) {
            fuzzFailure("iteration visits every entry", std::to_string(i));
        }
    }

    void copyString() {
        tarn_string copy(S);
        expectText(copy, s, "string copy");
        const tarn_string& same = copy;
        copy = same;
        expectText(copy, s, "string self-assignment");
        tarn_string target("a text long enough to live on the heap");
        target = copy;
        expectText(target, s, "string copy assignment over a long text");
        S = target;
    }

    // Lists are built and copied, never assigned: a new list takes the old one's
    // place.
    template <typename... Arguments> void replaceList(const Arguments&... arguments) {
        L.~tarn_stringlist();
        new (&L) tarn_stringlist(arguments...);
    }

    tarn_string S;
    std::string s;
    tarn_stringlist L;
    std::vector<std::string> l;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    keepErrorOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LineReader lines(data, size);
    Program program;
    program.run(lines);
    return 0;
}
