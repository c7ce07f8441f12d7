// Names Windows gives: any UTF-16 string survives CP936 with escapes and back,
// and the CP936 scanners see in the escaped text only what the name holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/text.h"

namespace {
void check(bool ok) {
    if (!ok) std::abort();
}
bool high(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool low(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string name(size / 2, u'\0');
    for (std::size_t i = 0; i < name.size(); ++i)
        name[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string text = q::cp936_from_utf16(name);
    check(q::utf16_from_cp936(text) == name);
    check(q::cp936_from_utf16le(q::utf16le_from_cp936(text)) == text);

    // A cut ends on a whole unit, and never between the halves of a pair.
    for (std::size_t n = 0; n <= text.size() && n < 96; ++n) {
        const std::u16string head = q::utf16_from_cp936(q::cut_bytes(text, n));
        check(name.compare(0, head.size(), head) == 0);
        check(head.empty() || head.size() == name.size() || !high(head.back()) || !low(name[head.size()]));
    }

    // No escape holds a "\" or a ".": the splitter finds the name's own.
    const std::size_t slash = name.find_last_of(u'\\');
    const std::u16string file = slash == std::u16string::npos ? name : name.substr(slash + 1);
    check(q::utf16_from_cp936(q::path_file_name(text)) == file);
    const std::size_t dot = file.find_last_of(u'.');
    check(q::utf16_from_cp936(q::path_extension(text)) == (dot == std::u16string::npos ? u"" : file.substr(dot + 1)));
    check(q::equal_no_case(text, q::ascii_upper(text)) && q::ascii_lower(text).size() == text.size());

    // Any bytes settle after one trip through UTF-16, as a name kept by Windows does.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string once = q::cp936_from_utf16(q::utf16_from_cp936(bytes));
    check(q::cp936_from_utf16(q::utf16_from_cp936(once)) == once);
    return 0;
}
