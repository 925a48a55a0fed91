#pragma once
// The hub's small JSON configuration file ("./QVConfig.json"): the statistics
// credentials under "MessageTocken"; every other key is kept as it is.
#include <json/json.h>

#include <mutex>
#include <string>

namespace data_hub {

class CConfig {
public:
    explicit CConfig(std::string path = "./QVConfig.json");
    // Writes the document back when it changed.
    ~CConfig();
    CConfig(const CConfig&) = delete;
    CConfig& operator=(const CConfig&) = delete;

    void Load();
    // "MessageTocken" "ak" and "sk", each "" unless a string.
    void GetMessageToken(std::string& ak, std::string& sk) const;
    void SetMessageToken(const std::string& ak, const std::string& sk);
    // Writes now when dirty; true when nothing was left unsaved.
    bool Save();

private:
    mutable std::mutex m_mutex;
    std::string m_path;
    Json::Value m_doc{Json::objectValue};
    bool m_dirty = false;
    bool m_unreadable = false;  // the file on disk did not parse
};

}  // namespace data_hub
