#include <errno.h>
#include <iconv.h>

#include <string>

#include "base/base_log.h"

namespace base {

std::string CUnicode::GBToUTF8(const std::string& gb) {
    iconv_t cd = ::iconv_open("UTF-8", "GB18030");
    if (cd == reinterpret_cast<iconv_t>(-1)) return gb;
    std::string out;
    out.resize(gb.size() * 4 + 4);
    char* in = const_cast<char*>(gb.data());
    size_t inLeft = gb.size();
    char* dst = &out[0];
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (::iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == EILSEQ || errno == EINVAL) {
                // Skip one byte that does not start a valid sequence.
                ++in;
                --inLeft;
                continue;
            }
            break;
        }
    }
    ::iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace base
