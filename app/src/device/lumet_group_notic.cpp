#include "device/lumet_group_notic.h"

#include <QDebug>

#include <cstring>

namespace app {
namespace {
QString Field(const char (&text)[256]) { return QString::fromUtf8(text, static_cast<int>(strnlen(text, 256))); }
}  // namespace

void CPicGCNotic::SetCallbacks(Callbacks callbacks) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callbacks = std::move(callbacks);
}

void CPicGCNotic::ClearCallbacks() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_callbacks = Callbacks();
}

void CPicGCNotic::OnErrorNotic(int code, const char* msg, void*) {
    const QString text = QString::fromUtf8(msg ? msg : "");
    qInfo().noquote() << "group control:" << code << text;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callbacks.started) m_callbacks.started(code, text);
}

void CPicGCNotic::OnQueryInstanceStatus(const char* mainInstanceNo, const mosaic_sdk::InstanceStatusInfo* infos,
                                        size_t count, void*) {
    QVector<GroupInstanceState> table;
    for (size_t i = 0; infos != nullptr && i < count; ++i) {
        table.append({Field(infos[i].instanceNo), Field(infos[i].nodeNo), infos[i].state, infos[i].errCode});
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callbacks.table) m_callbacks.table(QString::fromUtf8(mainInstanceNo ? mainInstanceNo : ""), table);
}

void CPicGCNotic::OnQueryNodeStatus(const mosaic_sdk::NodeStatusInfo* infos, size_t count, void*) {
    QVector<GroupNodeState> nodes;
    for (size_t i = 0; infos != nullptr && i < count; ++i) {
        nodes.append({Field(infos[i].nodeNo), infos[i].state, infos[i].refusalCode});
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callbacks.nodes) m_callbacks.nodes(nodes);
}

void CPicGCNotic::OnPicData(const char* instanceNo, const char* data, size_t length, void*) {
    if (instanceNo == nullptr || data == nullptr || length == 0 || length > (64u << 20)) return;
    QImage picture;
    if (!picture.loadFromData(reinterpret_cast<const uchar*>(data), static_cast<int>(length))) {
        qWarning().noquote() << "group picture of" << instanceNo << "is no image";
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_callbacks.picture) m_callbacks.picture(QString::fromUtf8(instanceNo), picture);
}

}  // namespace app
