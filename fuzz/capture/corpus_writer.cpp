#include "corpus_writer.h"

#include <cstdio>
#include <fstream>

namespace fuzz_capture {

bool CorpusWriter::Write(const std::string& target, const std::string& name, const std::string& bytes) {
    const std::filesystem::path folder = m_root / target;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "capture: cannot write %s/%s\n", target.c_str(), name.c_str());
        return false;
    }
    ++m_count;
    return true;
}

bool CorpusWriter::WriteKind(const std::string& target, const std::string& kind, const std::string& bytes,
                             int limit) {
    int& written = m_kinds[target + "/" + kind];
    if (written >= limit) return true;
    ++written;
    return Write(target, kind + "-" + std::to_string(written), bytes);
}

}  // namespace fuzz_capture
