#include "spss/sav_text.h"

#include <iconv.h>

#include <cerrno>

#include "engine/run/numtext.h"

namespace korvelan::spss {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

bool printable_ascii(std::string_view bytes) {
    for (const char c : bytes) {
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

bool known_encoding(const std::string& name) {
    const iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == kNoConverter) return false;
    iconv_close(cd);
    return true;
}

}  // namespace

TextDecoder::~TextDecoder() {
    if (converter_) iconv_close(static_cast<iconv_t>(converter_));
}

bool TextDecoder::open(const std::string& encoding) {
    if (converter_) iconv_close(static_cast<iconv_t>(converter_));
    converter_ = nullptr;
    ascii_kept_ = false;
    if (encoding.empty() || iequals(encoding, "UTF-8") || iequals(encoding, "UTF8")) return true;
    const iconv_t cd = iconv_open("UTF-8", encoding.c_str());
    if (cd == kNoConverter) return false;
    converter_ = cd;
    // Printable ASCII may stand for itself, so that most texts need no converter; not so in an
    // encoding where "~{" shifts to two-byte characters, or one that is not ASCII at all.
    std::string probe;
    for (char c = 0x20; c <= 0x7E; ++c) probe += c;
    probe += "~{~}";
    std::string text;
    ascii_kept_ = decode(probe, text) && text == probe;
    return true;
}

bool TextDecoder::decode(std::string_view bytes, std::string& text) {
    if (!converter_ || (ascii_kept_ && printable_ascii(bytes))) {
        text.assign(bytes);
        return true;
    }
    const auto cd = static_cast<iconv_t>(converter_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // the initial state
    text.assign(4 * bytes.size() + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t in_left = bytes.size();
    char* out = text.data();
    std::size_t out_left = text.size();
    auto grow = [&] {
        const std::size_t used = static_cast<std::size_t>(out - text.data());
        text.resize(2 * text.size());
        out = text.data() + used;
        out_left = text.size() - used;
    };
    constexpr std::size_t kFailed = static_cast<std::size_t>(-1);
    while (in_left > 0 && iconv(cd, &in, &in_left, &out, &out_left) == kFailed) {
        if (errno == E2BIG) grow();
        else if (errno == EINVAL) break;  // a character cut at the value's width: what came before it stays
        else return false;
    }
    // What the converter holds back belongs to this text.
    while (iconv(cd, nullptr, nullptr, &out, &out_left) == kFailed) {
        if (errno != E2BIG) return false;
        grow();
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return true;
}

std::string code_page_encoding(int code) {
    struct Named {
        int code;
        const char* name;
    };
    // 7-bit and 8-bit ASCII (2 and 3) are read as windows-1252, as the library reads them.
    static constexpr Named kNames[] = {
        {2, "WINDOWS-1252"}, {3, "WINDOWS-1252"}, {874, "CP874"},        {932, "CP932"},
        {936, "GBK"},        {949, "CP949"},      {950, "BIG5"},         {1200, "UTF-16LE"},
        {1201, "UTF-16BE"},  {1375, "BIG5-HKSCS"}, {1383, "GB2312"},     {10000, "MACINTOSH"},
        {20127, "US-ASCII"}, {20866, "KOI8-R"},   {20932, "EUC-JP"},     {21866, "KOI8-U"},
        {51932, "EUC-JP"},   {51949, "EUC-KR"},   {54936, "GB18030"},    {65001, "UTF-8"},
    };
    for (const Named& n : kNames) {
        if (n.code == code) return n.name;
    }
    if (code > 28590 && code <= 28606 && code != 28602) return "ISO-8859-" + std::to_string(code - 28590);
    const std::string number = std::to_string(code);
    for (const char* prefix : {"CP", "WINDOWS-", "IBM"}) {
        if (known_encoding(prefix + number)) return prefix + number;
    }
    return "CP" + number;  // no converter knows it: the file is refused in words
}

}  // namespace korvelan::spss
