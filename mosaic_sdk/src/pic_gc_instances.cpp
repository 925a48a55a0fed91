// Instance management: pausing and resuming followers, the status table,
// text for single followers and switching the main phone.
#include <cstring>

#include "common/qv_log.h"
#include "pic_gc_control.h"

namespace mosaic_sdk {

namespace {

// Records handed out earlier stay as they were: the data record is replaced, not changed.
void SetMainInRecord(GroupParams& params, const std::string& mainNo) {
    if (!params.data) return;
    auto data = std::make_shared<QvDataParam>(*params.data);
    common::CopyText(data->instanceNo, mainNo.c_str());
    params.data = data;
}

}  // namespace

int CQVPicGCControl::AddInstance(const char* const* instanceNos, uint32_t count) {
    return GroupedInstanceCall(instanceNos, count, true);
}

int CQVPicGCControl::ReduceInstance(const char* const* instanceNos, uint32_t count) {
    return GroupedInstanceCall(instanceNos, count, false);
}

// One call per node with the numbers of its instances; the tables stay as they are.
int CQVPicGCControl::GroupedInstanceCall(const char* const* instanceNos, uint32_t count, bool add) {
    if (!Accepting() || instanceNos == nullptr || count == 0) return -1;
    std::vector<std::string> numbers;
    for (uint32_t i = 0; i < count; ++i)
        if (instanceNos[i] != nullptr) numbers.emplace_back(instanceNos[i]);
    std::vector<std::string> unknown;
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;
    std::vector<NodeLink> links;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        for (auto& group : GroupByNode(m_tables, numbers, unknown)) {
            auto node = m_tables.nodes.find(group.first);
            links.push_back(node != m_tables.nodes.end() ? node->second.link : NodeLink());
            groups.emplace_back(group.first, std::move(group.second));
        }
    }
    for (const auto& number : unknown) QV_LOG(QV_LOG_WARN, "[MOSAIC_SDK]unknown instance [%s]", number.c_str());
    NotePaused(numbers, !add);
    for (size_t i = 0; i < groups.size(); ++i) {
        const std::string& nodeNo = groups[i].first;
        if (!links[i]) {
            if (add) QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Unknown node [%s] while AddInstance", nodeNo.c_str());
            else QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Unknown node [%s] while ReduceInstance", nodeNo.c_str());
            continue;
        }
        std::vector<const char*> pointers;
        for (const auto& number : groups[i].second) pointers.push_back(number.c_str());
        const uint32_t n = static_cast<uint32_t>(pointers.size());
        if (add && links[i]->AddInstance(pointers.data(), n) != 0)
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]AddInstance for node [%s] failed", nodeNo.c_str());
        if (!add && links[i]->ReduceInstance(pointers.data(), n) != 0)
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]ReduceInstance for node [%s] failed", nodeNo.c_str());
    }
    return 0;
}

int CQVPicGCControl::InputInstanceInput(const InstanceInput* infos, uint32_t count) {
    return GroupedInputCall(infos, count, false);
}

int CQVPicGCControl::InputInstanceClipboard(const InstanceInput* infos, uint32_t count) {
    return GroupedInputCall(infos, count, true);
}

int CQVPicGCControl::GroupedInputCall(const InstanceInput* infos, uint32_t count, bool clipboard) {
    if (!Accepting() || infos == nullptr || count == 0) return -1;
    // Records copied with their texts terminated, whatever the caller's arrays hold.
    std::vector<InstanceInput> records(infos, infos + count);
    std::vector<std::string> numbers;
    for (InstanceInput& record : records) {
        record.instanceNo[255] = '\0';
        record.str[255] = '\0';
        numbers.emplace_back(record.instanceNo);
    }
    std::vector<std::string> unknown;
    std::map<std::string, std::vector<std::string>> groups;
    std::map<std::string, NodeLink> links;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        groups = GroupByNode(m_tables, numbers, unknown);
        for (const auto& group : groups) {
            auto node = m_tables.nodes.find(group.first);
            links[group.first] = node != m_tables.nodes.end() ? node->second.link : NodeLink();
        }
    }
    for (const auto& number : unknown) QV_LOG(QV_LOG_WARN, "[MOSAIC_SDK]unknown instance [%s]", number.c_str());
    for (const auto& group : groups) {
        const std::string& nodeNo = group.first;
        const NodeLink& link = links[nodeNo];
        if (!link) {
            if (clipboard) QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Unknown node [%s] while InputInstanceClipboard", nodeNo.c_str());
            else QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Unknown node [%s] while InputInstanceInput", nodeNo.c_str());
            continue;
        }
        std::vector<const InstanceInput*> pointers;
        for (const InstanceInput& record : records) {
            for (const auto& number : group.second) {
                if (number == record.instanceNo) {
                    pointers.push_back(&record);
                    break;
                }
            }
        }
        const uint32_t n = static_cast<uint32_t>(pointers.size());
        if (clipboard && link->InputInstanceClipboard(pointers.data(), n) != 0)
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]InputInstanceClipboard for node [%s] failed", nodeNo.c_str());
        if (!clipboard && link->InputInstanceInput(pointers.data(), n) != 0)
            QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]InputInstanceInput for node [%s] failed", nodeNo.c_str());
    }
    return 0;
}

int CQVPicGCControl::QueryInstanceStatus() {
    if (m_state.load() != kGroupReady) return -1;
    void* userData = nullptr;
    auto notic = Notic(&userData);
    const std::string mainNo = MainNumber();
    // A copy, so that the application is called without the table lock.
    std::vector<InstanceStatusInfo> table;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        table = m_tables.instances;
    }
    if (notic) notic->OnQueryInstanceStatus(mainNo.c_str(), table.data(), table.size(), userData);
    return 0;
}

int CQVPicGCControl::SwitchMain(const char* newMainInstanceNo) {
    std::lock_guard<std::mutex> switchLock(m_switchMutex);
    if (!Accepting()) return -1;
    char cut[256];
    common::CopyText(cut, newMainInstanceNo != nullptr ? newMainInstanceNo : "");
    const std::string newMain = cut;
    const std::string oldMain = MainNumber();
    if (newMain == oldMain) return 0;

    NodeLink oldLink;
    NodeLink newLink;
    {
        std::lock_guard<std::mutex> lock(m_tableMutex);
        if (GCNodeInfo* node = m_tables.NodeOf(oldMain)) oldLink = node->link;
        if (GCNodeInfo* node = m_tables.NodeOf(newMain)) newLink = node->link;
    }
    if (newLink == oldLink) newLink.reset();
    auto tellNodes = [&](const std::string& mainNo) {
        if (oldLink) oldLink->SwitchMain(mainNo.c_str());
        if (newLink) newLink->SwitchMain(mainNo.c_str());
    };
    tellNodes(newMain);
    if (ReplaceMainPhone(newMain) == 0) return 0;
    tellNodes("");
    return -1;
}

// Stops the current main phone and plays newMain ("" leaves none). On a
// failure no instance is the main one.
int CQVPicGCControl::ReplaceMainPhone(const std::string& newMain) {
    std::shared_ptr<IHandsetSdk> old;
    GroupParams params;
    std::shared_ptr<IQVPhoneNotic> phoneNotic;
    {
        std::lock_guard<std::mutex> lock(m_configMutex);
        old = std::move(m_mainPhone);
        m_mainPhone.reset();
        m_mainInstanceNo = newMain;
        SetMainInRecord(m_params, newMain);
        params = m_params;
        phoneNotic = m_phoneNotic;
    }
    if (old) old->Uninit();
    old.reset();
    if (newMain.empty() || !params.data) return 0;

    auto phone = IHandsetSdk::CreateQVPhone();
    bool ok = false;
    if (!phone || phone->Init(phoneNotic, params.data.get(), params.phone.get(), params.sys.get(),
                              params.out.get()) != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]Init main phone failed");
    } else if (phone->Start() != 0) {
        QV_LOG(QV_LOG_ERROR, "[MOSAIC_SDK]start main phone failed");
        phone->Uninit();
    } else {
        ok = true;
    }
    std::unique_lock<std::mutex> lock(m_configMutex);
    if (ok && m_state.load() != kGroupReady) {
        // Torn down meanwhile: the tear-down has taken (or will find) no phone.
        lock.unlock();
        phone->Uninit();
        return -1;
    }
    if (!ok) {
        m_mainInstanceNo.clear();
        SetMainInRecord(m_params, "");
        return -1;
    }
    m_mainPhone = phone;
    return 0;
}

}  // namespace mosaic_sdk
