#include "hub_config.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <sstream>

#include "common/qv_log.h"

namespace data_hub {

CConfig::CConfig(std::string path) : m_path(std::move(path)) {}

CConfig::~CConfig() { Save(); }

void CConfig::Load() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        QV_LOG(60, "[DATA_HUB]Cannot open Config file [%s] for read", m_path.c_str());
        m_doc = Json::Value(Json::objectValue);
        return;
    }
    std::stringstream text;
    text << in.rdbuf();
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value doc;
    std::string errors;
    const std::string content = text.str();
    bool parsed = false;
    try {
        parsed = reader->parse(content.data(), content.data() + content.size(), &doc, &errors);
    } catch (const std::exception&) {
        // The reader throws when nesting exceeds its stack limit.
        parsed = false;
    }
    if (!parsed || !doc.isObject()) {
        QV_LOG(60, "[DATA_HUB]parse config file[%s] failed", m_path.c_str());
        m_doc = Json::Value(Json::objectValue);
        m_unreadable = true;
        return;
    }
    m_doc = doc;
}

void CConfig::GetMessageToken(std::string& ak, std::string& sk) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    ak.clear();
    sk.clear();
    const Json::Value& token = m_doc["MessageTocken"];
    if (!token.isObject()) return;
    if (token["ak"].isString()) ak = token["ak"].asString();
    if (token["sk"].isString()) sk = token["sk"].asString();
}

void CConfig::SetMessageToken(const std::string& ak, const std::string& sk) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Json::Value token(Json::objectValue);
    token["ak"] = ak;
    token["sk"] = sk;
    m_doc["MessageTocken"] = token;
    m_dirty = true;
}

bool CConfig::Save() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_dirty || m_path.empty()) return !m_dirty;
    // A file that did not parse is kept aside rather than replaced by a
    // document that lost whatever else it held.
    if (m_unreadable) {
        std::string aside = m_path + ".unreadable";
        if (std::rename(m_path.c_str(), aside.c_str()) == 0)
            QV_LOG(40, "[DATA_HUB]config file[%s] kept aside as [%s]", m_path.c_str(), aside.c_str());
        m_unreadable = false;
    }
    Json::StreamWriterBuilder builder;
    builder["commentStyle"] = "None";
    builder["indentation"] = "   ";
    // Texts are written as the bytes that were read: escaping them as \u
    // sequences would rewrite (and so corrupt) any that are not valid UTF-8.
    builder["emitUTF8"] = true;
    // Written to a temporary file and renamed over the old one, so that a
    // crash while saving never leaves a broken file.
    std::string temp = m_path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            QV_LOG(60, "[DATA_HUB]Cannot open file [%s] for writing", m_path.c_str());
            return false;
        }
        std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
        writer->write(m_doc, &out);
        out.flush();
        if (!out) {
            QV_LOG(60, "[DATA_HUB]Cannot open file [%s] for writing", m_path.c_str());
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), m_path.c_str()) != 0) {
        QV_LOG(60, "[DATA_HUB]Cannot open file [%s] for writing", m_path.c_str());
        std::remove(temp.c_str());
        return false;
    }
    m_dirty = false;
    return true;
}

}  // namespace data_hub
