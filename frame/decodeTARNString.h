// decodeTARNString: splits a host reply into words at spaces, honouring one quote
// character. The words lie in the tokenizer's own copy of the text, so they stay
// valid after the reply has been given back to the host, for as long as the
// tokenizer lives. At most 32 words are kept; the rest of a longer text belongs to
// no word. Not copyable.
#pragma once

class decodeTARNString {
public:
    enum { MaxTokens = 32 };

    decodeTARNString(const char* text, char quote); // text may be null; it is copied
    virtual ~decodeTARNString();
    decodeTARNString(const decodeTARNString&) = delete;
    decodeTARNString& operator=(const decodeTARNString&) = delete;

    // Decodes `text`; called once, by the constructor.
    void decode(const char* text);

    char* tokens[MaxTokens]; // the words in order; unused entries are the empty text
    int tokenCount;          // words found, 0 to 32
    char* buffer;            // the tokenizer's copy; null for a null or empty text
    char quote;
};
