#pragma once
// Writes seed files under <corpus root>/<target>/<name>, keeping at most a
// few per kind so that the committed corpora stay small.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace fuzz_capture {

class CorpusWriter {
public:
    explicit CorpusWriter(std::filesystem::path root) : m_root(std::move(root)) {}

    // Writes bytes as <target>/<name>; false when the folder or file cannot be written.
    bool Write(const std::string& target, const std::string& name, const std::string& bytes);
    // Writes bytes as <target>/<kind>-<n> unless `limit` files of that kind were written already.
    bool WriteKind(const std::string& target, const std::string& kind, const std::string& bytes, int limit = 2);
    int Count() const { return m_count; }

private:
    std::filesystem::path m_root;
    std::map<std::string, int> m_kinds;
    int m_count = 0;
};

}  // namespace fuzz_capture
