// The texts of a .sav file in UTF-8: names, labels, string values and missing values are each
// converted from the file's character set on their own, from the converter's initial state and
// with whatever it holds back flushed at the end, so that no character of one text reaches
// another (the converters of windows-1255 and windows-1258 hold a letter back to join it with a
// mark that may follow).
#pragma once

#include <string>
#include <string_view>

namespace korvelan::spss {

class TextDecoder {
public:
    TextDecoder() = default;
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;
    ~TextDecoder();

    // Texts in encoding (an iconv name) become UTF-8; "" and UTF-8 itself keep their bytes. False
    // when no converter knows the encoding.
    bool open(const std::string& encoding);
    // False when the bytes are not a text in the encoding.
    bool decode(std::string_view bytes, std::string& text);

private:
    void* converter_ = nullptr;  // an iconv_t; null when the bytes are kept
    bool ascii_kept_ = false;    // printable ASCII stands for itself in the encoding
};

// The iconv name of an SPSS character code (a Windows code page number): 65001 UTF-8, 28591
// ISO-8859-1, 1252 windows-1252 and so on; "" for a code no converter is known for.
std::string code_page_encoding(int code);

}  // namespace korvelan::spss
